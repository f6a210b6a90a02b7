#include "resource/name_atom.h"

#include <gtest/gtest.h>

namespace {

TEST(NameAtom, HashesRotateAndAddEachByte) {
    // 'A' = 0x41, 'b' = 0x62: ((0x41 rotl 8) + 0x62).
    EXPECT_EQ(NameAtom::HashOf("Ab"), 0x4162u);
    // Five bytes wrap the first byte round to the low end.
    EXPECT_EQ(NameAtom::HashOf("abcde"), (0x61626364u << 8 | 0x61u) + 0x65u);
    // The case-sensitive hash adds bytes above 0x7F as negative values.
    EXPECT_EQ(NameAtom::HashOf("\xff"), 0xFFFFFFFFu);
    EXPECT_EQ(NameAtom::HashOf(""), 0u);
    EXPECT_EQ(NameAtom::FoldedHashOf("Ab"), 0x80006162u);
    EXPECT_EQ(NameAtom::FoldedHashOf("AB"), NameAtom::FoldedHashOf("ab"));
}

TEST(NameAtom, InterningIsCaseSensitiveAndShared) {
    const NameAtom* lower = InternName("atomtestvalue");
    EXPECT_EQ(InternName("atomtestvalue"), lower);
    const NameAtom* upper = InternName("AtomTestValue");
    EXPECT_NE(upper, lower);
    EXPECT_TRUE(upper->Matches(*lower));
    EXPECT_FALSE(upper->Matches(*InternName("AtomTestValues")));
    EXPECT_EQ(InternName("")->Text(), "");
    EXPECT_EQ(InternName(""), EmptyName());
}

TEST(NameAtom, AnAtomMovesOneStepTowardTheFrontPerUse) {
    NameAtomTable& table = NameAtomTable::Instance();
    const NameAtom* first = InternName("atom-move-first");
    const NameAtom* second = InternName("atom-move-second");
    const std::size_t size = table.Size();
    // The newest atom sits at the back; every use swaps it with its predecessor.
    for (std::size_t use = 0; use + 1 < size; ++use) {
        EXPECT_NE(&table.Front(), second);
        InternName("atom-move-second");
    }
    EXPECT_EQ(&table.Front(), second);
    EXPECT_EQ(InternName("atom-move-second"), second);
    EXPECT_EQ(&table.Front(), second);
    EXPECT_EQ(table.Size(), size);
    EXPECT_EQ(InternName("atom-move-first"), first);
}

TEST(NameAtom, EqualHashesWithDifferentTextsStayApart) {
    // A byte rotated through all four positions lands where it started.
    const std::string longer("A\0\0\0\0", 5);
    const std::string shorter("A");
    ASSERT_EQ(NameAtom::HashOf(longer), NameAtom::HashOf(shorter));
    ASSERT_EQ(NameAtom::FoldedHashOf(longer), NameAtom::FoldedHashOf(shorter));
    const NameAtom* a = InternName(longer);
    const NameAtom* b = InternName(shorter);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->Text(), longer);
    EXPECT_FALSE(a->Matches(*b));
}

}  // namespace
