// Ownership of documents read from the binary form: their nodes live in an arena that the
// document and every node taken out of it keep alive. Run under AddressSanitizer, a dangling
// node or a second free fails these tests outright.
#include <gtest/gtest.h>

#include "resource/xml_arena.h"
#include "resource/xml_bml_converter.h"

namespace {

std::unique_ptr<enXml> Loaded(const enXml& source) {
    CXmlBmlConverter converter;
    EXPECT_TRUE(converter.ToBinary(source));
    return CXmlBmlConverter::FromBinary(converter.Buffer());
}

// Entity "rock" > AIList > AI "CAIMoveY" with a speed, and a Model with a long file name.
std::unique_ptr<enXml> LoadedEntity(const char* name = "rock") {
    enXml entity("Entity");
    entity.AddAttribute("Name", name);
    enXml* ai = entity.AddNewChild("AIList")->AddNewChild("AI");
    ai->AddAttribute("Name", "CAIMoveY");
    ai->SetValueFloat("fSpeed", 2.5f);
    entity.AddNewChild("Model")->AddAttribute("FileName", "Models\\Cave\\a rather long rock model name.x");
    return Loaded(entity);
}

std::string FloatText(const enXml& node, const char* property) {
    std::string text;
    node.GetValueString(property, text);
    return text;
}

// Counts its destructions, to show which nodes a document destroys.
class CCountedXml : public enXml {
public:
    CCountedXml(const char* name, int& destroyed) : enXml(name), m_destroyed(destroyed) {}
    ~CCountedXml() override { ++m_destroyed; }

private:
    int& m_destroyed;
};

TEST(XmlArena, AllocationsAreAlignedAndTheLargestGetABlockOfTheirOwn) {
    CXmlArena* arena = CXmlArena::Create();
    auto* byte = static_cast<char*>(arena->Allocate(1, 1));
    auto* aligned = arena->Allocate(8, 16);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(aligned) % 16, 0u);
    EXPECT_GT(static_cast<char*>(aligned), byte);
    // Far larger than the first block: it is served whole, and small ones go on after it.
    auto* large = static_cast<std::uint8_t*>(arena->Allocate(1 << 20, 8));
    large[0] = 1;
    large[(1 << 20) - 1] = 2;
    EXPECT_GE(arena->BytesReserved(), std::size_t(1 << 20));
    const char* text = arena->CopyText("tail");
    EXPECT_STREQ(text, "tail");
    EXPECT_EQ(large[(1 << 20) - 1], 2);
    arena->Release();
}

TEST(XmlArena, ALoadedDocumentIsOneArenaThatItsRootKeeps) {
    std::unique_ptr<enXml> document = LoadedEntity();
    ASSERT_NE(document, nullptr);
    CXmlArena* arena = document->Arena();
    ASSERT_NE(arena, nullptr);
    EXPECT_EQ(arena->References(), 1u);
    const enXml* ai = document->GetChild("AIList")->GetChild("AI");
    EXPECT_EQ(ai->Arena(), arena);
    EXPECT_EQ(document->GetChild("Model")->Arena(), arena);
    // Built and copied nodes have no arena.
    EXPECT_EQ(document->Clone()->Arena(), nullptr);
    EXPECT_EQ(enXml("Free").Arena(), nullptr);
}

TEST(XmlArena, ARemovedNodeKeepsTheArenaUntilItIsDeleted) {
    std::unique_ptr<enXml> document = LoadedEntity();
    CXmlArena* arena = document->Arena();
    enXml* list = document->GetChild("AIList");
    ASSERT_TRUE(document->RemoveChild(list));
    std::unique_ptr<enXml> removed(list);
    EXPECT_EQ(arena->References(), 2u);
    EXPECT_EQ(document->GetChild("AIList"), nullptr);

    // The document goes first; the removed subtree stays whole and readable.
    document.reset();
    EXPECT_EQ(arena->References(), 1u);
    const enXml* ai = removed->GetChild("AI");
    ASSERT_NE(ai, nullptr);
    EXPECT_EQ(ai->FindAttribute("Name")->value, "CAIMoveY");
    EXPECT_EQ(FloatText(*ai, "fSpeed"), "2.5");
    removed.reset();  // frees the arena
}

TEST(XmlArena, ANodeRemovedAndAddedBackReturnsItsReference) {
    std::unique_ptr<enXml> document = LoadedEntity();
    CXmlArena* arena = document->Arena();
    enXml* model = document->GetChild("Model");
    document->RemoveChild(model);
    EXPECT_EQ(arena->References(), 2u);
    document->GetChild("AIList")->AddChild(model);
    EXPECT_EQ(arena->References(), 1u);
    EXPECT_EQ(model->Parent(), document->GetChild("AIList"));
    EXPECT_EQ(model->GetRootName(), "rock");

    // Deleting a node that is still in the tree unlinks it; its memory stays with the arena.
    delete model;
    EXPECT_EQ(document->GetChild("AIList")->GetChild("Model"), nullptr);
    EXPECT_EQ(arena->References(), 1u);
}

TEST(XmlArena, ASubtreeMovedIntoAnotherDocumentOutlivesItsOwn) {
    std::unique_ptr<enXml> source = LoadedEntity("source");
    std::unique_ptr<enXml> target = LoadedEntity("target");
    CXmlArena* sourceArena = source->Arena();
    enXml* model = source->GetChild("Model");
    target->AddChild(model);
    EXPECT_EQ(sourceArena->References(), 2u);
    EXPECT_EQ(target->Arena()->References(), 1u);
    EXPECT_EQ(model->GetRootName(), "target");

    source.reset();
    EXPECT_EQ(sourceArena->References(), 1u);
    EXPECT_EQ(target->LastChild(), model);
    EXPECT_EQ(model->FindAttribute("FileName")->value, "Models\\Cave\\a rather long rock model name.x");
    target.reset();  // destroys the moved node and with it the source arena
}

TEST(XmlArena, ANodeMovedIntoABuiltTreeIsDestroyedWithThatTree) {
    std::unique_ptr<enXml> document = LoadedEntity();
    CXmlArena* arena = document->Arena();
    {
        enXml built("Built");
        built.AddChild(document->GetChild("AIList"));
        document.reset();
        EXPECT_EQ(arena->References(), 1u);
        EXPECT_EQ(FloatText(*built.GetChild("AIList")->GetChild("AI"), "fSpeed"), "2.5");
    }
}

TEST(XmlArena, DestroyingADocumentLeavesItsCopiesWhole) {
    std::unique_ptr<enXml> document = LoadedEntity();
    std::unique_ptr<enXml> clone = document->Clone();
    enXml copied("Target");
    copied.CopyFrom(*document);
    document.reset();
    for (const enXml* copy : {static_cast<const enXml*>(clone.get()), static_cast<const enXml*>(&copied)}) {
        EXPECT_EQ(copy->GetName()->Text(), "Entity");
        EXPECT_EQ(copy->FindAttribute("Name")->value, "rock");
        const enXml* ai = copy->GetChild("AIList")->GetChild("AI");
        float speed = 0.0f;
        EXPECT_TRUE(ai->GetValueFloat("fSpeed", speed));
        EXPECT_EQ(speed, 2.5f);
        EXPECT_EQ(copy->GetChild("Model")->FindAttribute("FileName")->value,
                  "Models\\Cave\\a rather long rock model name.x");
    }
}

TEST(XmlArena, NodesAddedToALoadedDocumentAreDestroyedWithIt) {
    int destroyed = 0;
    std::unique_ptr<enXml> document = LoadedEntity();
    enXml* ai = document->GetChild("AIList")->GetChild("AI");
    ai->AddChild(new CCountedXml("Extra", destroyed));
    document->AddChild(new CCountedXml("Other", destroyed));
    // A moved arena node with a built child below it, inside a second document.
    std::unique_ptr<enXml> second = LoadedEntity();
    enXml* model = second->GetChild("Model");
    model->AddChild(new CCountedXml("Deep", destroyed));
    document->GetChild("AIList")->AddChild(model);
    second.reset();
    EXPECT_EQ(destroyed, 0);
    document.reset();
    EXPECT_EQ(destroyed, 3);
}

TEST(XmlArena, ALoadedDocumentCanBeEditedAndWrittenAgain) {
    std::unique_ptr<enXml> document = LoadedEntity();
    enXml* ai = document->GetChild("AIList")->GetChild("AI");
    // Past the inline attribute, with a text too long to be kept inside the value.
    ai->AddAttribute("Comment", "a comment well beyond twenty-three characters");
    ai->AddAttribute("Short", "s");
    ai->FindAttribute("Name")->value = "CAIMoveByVectorWithAName";
    ai->SetValueFloat("fSpeed", 0.125f);
    ai->SetValueInt("iDelay", -3);
    document->SetSourceName("z:\\edited.lbm");
    delete document->GetChild("Model");

    std::unique_ptr<enXml> again = Loaded(*document);
    ASSERT_NE(again, nullptr);
    const enXml* copy = again->GetChild("AIList")->GetChild("AI");
    ASSERT_EQ(copy->Attributes().size(), 3u);
    EXPECT_EQ(copy->Attributes()[0].value, "CAIMoveByVectorWithAName");
    EXPECT_EQ(copy->Attributes()[1].value, "a comment well beyond twenty-three characters");
    EXPECT_EQ(copy->Attributes()[2].value, "s");
    EXPECT_EQ(FloatText(*copy, "fSpeed"), "0.125");
    EXPECT_EQ(FloatText(*copy, "iDelay"), "-3");
    EXPECT_EQ(again->GetChild("Model"), nullptr);
    EXPECT_EQ(document->GetSourceName(), "z:\\edited.lbm");
}

TEST(XmlArena, AFailedReadFreesWhatWasBuilt) {
    // A root with two children of which the second is cut short: nothing is returned, and
    // under AddressSanitizer nothing leaks.
    std::vector<std::uint8_t> body = {0x84, 0, 0, 2, 0x00, 0x05, 'f',  'A', 'b', 'c', 'd',
                                      1,    3, 0, 0, 0x80, 0x3F, 0x84, 0,   1,   0};
    const auto [first, second] = CXmlBmlConverter::CheckValue(body);
    for (const std::uint32_t word : {first, second}) {
        for (int shift = 0; shift < 32; shift += 8) {
            body.push_back(static_cast<std::uint8_t>(word >> shift));
        }
    }
    EXPECT_EQ(CXmlBmlConverter::FromBinary(body), nullptr);
}

}  // namespace
