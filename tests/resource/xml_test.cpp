#include "resource/xml.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> ChildNames(const enXml& node) {
    std::vector<std::string> names;
    for (const enXml* child = node.FirstChild(); child; child = child->NextSibling()) {
        names.push_back(child->GetName()->Text());
    }
    return names;
}

TEST(EnXml, LookupsIgnoreCaseAndTheFirstMatchWins) {
    enXml root("Entity");
    enXml* first = root.AddNewChild("Model");
    root.AddNewChild("MODEL");
    root.AddAttribute("Name", "first");
    root.AddAttribute("name", "second");
    EXPECT_EQ(root.GetChild("model"), first);
    EXPECT_EQ(root.GetChild(InternName("mOdEl")), first);
    EXPECT_EQ(root.GetChild("Models"), nullptr);
    ASSERT_NE(root.FindAttribute("NAME"), nullptr);
    EXPECT_EQ(root.FindAttribute("NAME")->value, "first");
    EXPECT_EQ(root.FindAttribute("Nam"), nullptr);
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"Model", "MODEL"}));
}

TEST(EnXml, ConstructionWithAFirstAttribute) {
    enXml metrics("Metrics", "FileName", "models\\ball.x");
    ASSERT_EQ(metrics.Attributes().size(), 1u);
    EXPECT_EQ(metrics.Attributes()[0].name->Text(), "FileName");
    EXPECT_EQ(metrics.Attributes()[0].value, "models\\ball.x");
}

TEST(EnXml, RootNameAndSourceNameBelongToTheRoot) {
    enXml root("Entity");
    enXml* leaf = root.AddNewChild("AIList")->AddNewChild("AI");
    EXPECT_EQ(leaf->GetRootName(), "");
    EXPECT_EQ(leaf->GetSourceName(), "");
    root.AddAttribute("Name", "water");
    leaf->SetSourceName("z:\\game\\entities\\water.lbm");
    EXPECT_EQ(leaf->GetRootName(), "water");
    EXPECT_EQ(root.GetSourceName(), "z:\\game\\entities\\water.lbm");
}

TEST(EnXml, CloneIsDeepAndIndependent) {
    enXml root("Entity");
    root.AddAttribute("Name", "rock");
    root.SetSourceName("z:\\rock.lbm");
    root.AddNewChild("Model")->AddAttribute("FileName", "rock.x");
    std::unique_ptr<enXml> copy = root.Clone();
    root.GetChild("Model")->FindAttribute("FileName")->value = "changed";
    root.AddNewChild("Extra");
    EXPECT_EQ(copy->GetName()->Text(), "Entity");
    EXPECT_EQ(copy->GetSourceName(), "z:\\rock.lbm");
    EXPECT_EQ(copy->GetChild("Model")->FindAttribute("FileName")->value, "rock.x");
    EXPECT_EQ(ChildNames(*copy), (std::vector<std::string>{"Model"}));
    EXPECT_EQ(copy->GetChild("Model")->Parent(), copy.get());
}

TEST(EnXml, CopyFromReplacesAttributesAndAppendsChildren) {
    enXml target("Old");
    target.AddAttribute("Keep", "no");
    target.AddNewChild("Own");
    target.SetSourceName("z:\\own.lbm");
    enXml source("New");
    source.AddAttribute("Name", "n");
    source.AddNewChild("Theirs")->AddNewChild("Grandchild");
    target.CopyFrom(source);
    EXPECT_EQ(target.GetName()->Text(), "New");
    ASSERT_EQ(target.Attributes().size(), 1u);
    EXPECT_EQ(target.Attributes()[0].value, "n");
    EXPECT_EQ(target.GetSourceName(), "z:\\own.lbm");  // the other had none to give
    EXPECT_EQ(ChildNames(target), (std::vector<std::string>{"Own", "Theirs"}));
    EXPECT_NE(target.GetChild("Theirs")->GetChild("Grandchild"), nullptr);
    EXPECT_NE(target.GetChild("Theirs"), source.GetChild("Theirs"));

    target.CopyFrom(target);
    EXPECT_EQ(ChildNames(target), (std::vector<std::string>{"Own", "Theirs", "Own", "Theirs"}));
}

}  // namespace
