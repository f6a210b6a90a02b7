#include "resource/tm_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Node : tmTree<Node> {
    Node(std::string n, std::vector<std::string>* log = nullptr) : name(std::move(n)), destroyed(log) {}
    ~Node() override {
        if (destroyed) {
            destroyed->push_back(name);
        }
    }
    std::string name;
    std::vector<std::string>* destroyed;
};

std::vector<std::string> ChildNames(const Node& node) {
    std::vector<std::string> names;
    for (const Node* child = node.FirstChild(); child; child = child->NextSibling()) {
        names.push_back(child->name);
    }
    return names;
}

std::vector<std::string> ChildNamesBackwards(const Node& node) {
    std::vector<std::string> names;
    for (const Node* child = node.LastChild(); child; child = child->PreviousSibling()) {
        names.push_back(child->name);
    }
    return names;
}

TEST(TmTree, ChildrenKeepInsertionOrderInBothDirections) {
    Node root("root");
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_TRUE(root.AddChild(new Node(name)));
    }
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ChildNamesBackwards(root), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(root.FirstChild()->Parent(), &root);
    EXPECT_FALSE(root.AddChild(nullptr));
}

TEST(TmTree, AddChildMovesANodeFromItsOldParent) {
    Node first("first");
    Node second("second");
    Node* moved = new Node("moved");
    first.AddChild(new Node("stays"));
    first.AddChild(moved);
    second.AddChild(moved);
    EXPECT_EQ(ChildNames(first), (std::vector<std::string>{"stays"}));
    EXPECT_EQ(first.LastChild()->name, "stays");
    EXPECT_EQ(moved->Parent(), &second);
    EXPECT_EQ(moved->PreviousSibling(), nullptr);
}

TEST(TmTree, RemoveChildUnlinksOnlyItsOwnChildren) {
    Node root("root");
    Node other("other");
    Node* middle = new Node("middle");
    root.AddChild(new Node("a"));
    root.AddChild(middle);
    root.AddChild(new Node("c"));
    EXPECT_FALSE(other.RemoveChild(middle));
    EXPECT_TRUE(root.RemoveChild(middle));
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(ChildNamesBackwards(root), (std::vector<std::string>{"c", "a"}));
    EXPECT_EQ(middle->Parent(), nullptr);
    EXPECT_EQ(middle->NextSibling(), nullptr);
    EXPECT_FALSE(root.RemoveChild(middle));
    delete middle;
}

TEST(TmTree, RemovingTheLastChildsUpdatesTheTail) {
    Node root("root");
    Node* last = new Node("last");
    root.AddChild(new Node("a"));
    root.AddChild(last);
    root.RemoveChild(last);
    root.AddChild(new Node("b"));
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"a", "b"}));
    delete last;
}

TEST(TmTree, DestroyingANodeDestroysItsSubtreeFirstToLastAndLeavesItsParent) {
    std::vector<std::string> destroyed;
    Node root("root", &destroyed);
    Node* branch = new Node("branch", &destroyed);
    root.AddChild(new Node("before", &destroyed));
    root.AddChild(branch);
    root.AddChild(new Node("after", &destroyed));
    branch->AddChild(new Node("leaf1", &destroyed));
    branch->AddChild(new Node("leaf2", &destroyed));
    delete branch;
    EXPECT_EQ(destroyed, (std::vector<std::string>{"branch", "leaf1", "leaf2"}));
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"before", "after"}));
}

}  // namespace
