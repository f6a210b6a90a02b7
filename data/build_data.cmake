# Builds the demo data set: generated assets and converted documents in a staging folder, packed
# into one group file. Run by the build with SOURCE_DIR, STAGE_DIR, GROUP_FILE, FONT_FILE,
# GENERATOR, XML_TOOL and GRP_TOOL set.

function(run_or_fail)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Building the data set failed: ${ARGN}")
    endif()
endfunction()

file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})
run_or_fail(${GENERATOR} assets ${FONT_FILE} ${STAGE_DIR})

# Every text document, written by hand or generated, becomes its .lbm twin; the text is not shipped.
file(GLOB_RECURSE authored RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.xml)
foreach(document ${authored})
    string(REGEX REPLACE "\\.xml$" ".lbm" binary ${document})
    get_filename_component(folder ${STAGE_DIR}/${binary} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    run_or_fail(${XML_TOOL} to-lbm ${SOURCE_DIR}/${document} ${STAGE_DIR}/${binary})
endforeach()
file(GLOB_RECURSE generated ${STAGE_DIR}/*.xml)
foreach(document ${generated})
    string(REGEX REPLACE "\\.xml$" ".lbm" binary ${document})
    run_or_fail(${XML_TOOL} to-lbm ${document} ${binary})
    file(REMOVE ${document})
endforeach()

run_or_fail(${GRP_TOOL} pack ${STAGE_DIR} ${GROUP_FILE})
