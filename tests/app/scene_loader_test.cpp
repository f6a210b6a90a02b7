#include "app/scene_loader.h"

#include <filesystem>

#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "engine/messages_broker.h"
#include "platform/win32/window.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

namespace {

using zumbo::test::AddElement;
using zumbo::test::MakeRoot;

class SceneLoaderTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        std::filesystem::create_directories(m_folder.Path() / "Entities");
        std::filesystem::create_directories(m_folder.Path() / "Scenes");
        for (const char* name : {"rock", "tree", "bird"}) {
            ASSERT_TRUE(zumbo::test::SaveEntityDocument(m_folder.WindowsPath(), name));
        }
        auto catalogue = MakeRoot("AllEntities");
        AddElement(*catalogue, "Entity", {{"Name", "Bird"}, {"FileName", "bird.xml"}});
        ASSERT_TRUE(catalogue->Save(m_folder.WindowsPath() + "AllEntities.xml"));
        enEntityManager::Instance().LoadCatalogue(m_folder.WindowsPath());
    }

    void StoreScene(const std::string& name, const enXml& root) {
        ASSERT_TRUE(root.Save(m_folder.WindowsPath() + "Scenes\\" + name));
    }

    // Runs the entity manager's and the scene loader's part of a tick, in which the messages
    // are posted.
    void RunTick(std::initializer_list<const char*> messages) {
        enEntityManager::Instance().Tick();
        m_loader.Tick();
        for (const char* text : messages) {
            CMessagesBroker::Instance().Post(CMessagesBroker::Instance().Parse(text));
        }
    }

    std::vector<std::string> EntityNames() {
        std::vector<std::string> names;
        for (const auto* list : {&enEntityManager::Instance().GetActiveEntities(),
                                 &enEntityManager::Instance().GetNewEntities()}) {
            for (const CEntity* entity : *list) {
                names.push_back(entity->GetName());
            }
        }
        return names;
    }

    zumbo::test::TempDir m_folder;
    CSceneLoader m_loader{m_folder.WindowsPath()};
};

TEST_F(SceneLoaderTest, CreatesTheListedEntitiesInOrderFileNameBeforeName) {
    auto scene = MakeRoot("Scene");
    enXml& entities = AddElement(*scene, "AllEntities");
    AddElement(entities, "Entity", {{"FileName", "rock.xml"}});
    AddElement(entities, "entity", {{"Name", "bird"}});
    AddElement(entities, "Entity", {{"Name", "Bird"}, {"FileName", "tree.xml"}});
    AddElement(entities, "Entity");
    AddElement(entities, "Light", {{"FileName", "rock.xml"}});
    AddElement(entities, "Entity", {{"Name", "Nobody"}});
    AddElement(entities, "Entity", {{"FileName", "missing.xml"}});
    StoreScene("Intro.xml", *scene);

    EXPECT_TRUE(m_loader.LoadScene("Intro.xml"));
    EXPECT_EQ((std::vector<std::string>{"rock", "bird", "tree"}), EntityNames());
    EXPECT_TRUE(LogContains("Load scene: Intro.xml."));
    EXPECT_TRUE(LogContains("Entity Manager Warning: Can't create entity by name: Nobody"));
}

TEST_F(SceneLoaderTest, AMissingFileFailsAndASceneWithoutEntitiesSucceedsEmpty) {
    EXPECT_FALSE(m_loader.LoadScene("Nowhere.xml"));
    StoreScene("Empty.xml", *MakeRoot("Scene"));
    EXPECT_TRUE(m_loader.LoadScene("Empty.xml"));
    EXPECT_TRUE(
        LogContains("Warning: Scene Empty.xml does not contain entities -- tag AllEntities not found."));
    EXPECT_TRUE(EntityNames().empty());
}

TEST_F(SceneLoaderTest, MessagesLoadAddResetAndLoadAgainInPostingOrder) {
    for (const char* name : {"A.xml", "B.xml"}) {
        auto scene = MakeRoot("Scene");
        AddElement(AddElement(*scene, "AllEntities"), "Entity",
                   {{"FileName", name[0] == 'A' ? "rock.xml" : "tree.xml"}});
        StoreScene(name, *scene);
    }
    RunTick({"LoadScene(A.xml)"});
    EXPECT_TRUE(EntityNames().empty());  // posted messages wait for the next tick
    RunTick({});
    EXPECT_EQ(std::vector<std::string>{"rock"}, EntityNames());

    RunTick({"LoadScene(B.xml)", "LoadScene(A.xml)"});
    RunTick({});
    EXPECT_EQ((std::vector<std::string>{"rock", "tree", "rock"}), EntityNames());

    RunTick({"ResetScene", "LoadScene(B.xml)"});
    RunTick({});
    EXPECT_EQ(std::vector<std::string>{"tree"}, EntityNames());
    EXPECT_TRUE(LogContains("Reset scene."));

    // Published once only.
    RunTick({});
    EXPECT_EQ(std::vector<std::string>{"tree"}, EntityNames());
}

TEST_F(SceneLoaderTest, ExitApplicationPostsTheExitCommandToTheMainWindow) {
    setenv("ZUMBO_HEADLESS", "1", 1);
    HWND window = win32::CreateWindow("Zumbo", 0, 64, 64, &win32::DefWindowProc);
    ASSERT_NE(nullptr, window);
    m_loader.SetMainWindow(window);
    win32::MSG message{};
    while (win32::PeekMessage(&message, true)) {
    }
    RunTick({"ExitApplication"});
    EXPECT_FALSE(win32::PeekMessage(&message, false));
    RunTick({});
    ASSERT_TRUE(win32::PeekMessage(&message, true));
    EXPECT_EQ(window, message.hwnd);
    EXPECT_EQ(win32::WM_COMMAND, message.message);
    EXPECT_EQ(40006u, message.wParam);
    win32::DestroyWindow(window);
}

}  // namespace
