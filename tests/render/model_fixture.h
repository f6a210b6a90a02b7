#pragma once
// Model documents over a one-triangle X-file, in the sandbox of a render test.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "render/model.h"
#include "tests/support/render_application.h"
#include "tests/support/xfile_writer.h"
#include "tests/support/xml_builder.h"

namespace zumbo::test {

using Settings = std::vector<std::pair<const char*, std::string>>;

class ModelFixture : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        m_sandbox.Write("tri.x", TriangleXFile());
    }
    void TearDown() override {
        m_models.clear();
        RenderTest::TearDown();
    }

    // A model document naming the X-file (tri.x unless given) with the settings; the loaded
    // model, or null.
    CModel* LoadModel(const Settings& settings, const char* root = "Model", const char* xFile = "tri.x") {
        auto document = MakeRoot(root, {{"Name", "Test"}});
        AddValue(*document, "FileName", xFile);
        for (const auto& [name, value] : settings) {
            AddValue(*document, name, value);
        }
        const std::string path = InSandbox("model" + std::to_string(m_models.size()) + ".xml");
        EXPECT_TRUE(document->Save(path));
        auto model = std::make_unique<CModel>();
        if (!model->Load(path)) {
            return nullptr;
        }
        m_models.push_back(std::move(model));
        return m_models.back().get();
    }

    std::vector<std::unique_ptr<CModel>> m_models;
};

}  // namespace zumbo::test
