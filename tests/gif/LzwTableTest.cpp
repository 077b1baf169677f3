// The compressor's string table: collisions, and a probe cycle that fills up.
#include "gif/LzwEncoder.h"

#include <gtest/gtest.h>

namespace {

int hashOf(std::uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % THashTable::kSize); }

} // namespace

TEST(LzwTable, CollisionsAndAFullProbeCycle)
{
    THashTable table;
    // Two keys with the same slot both stay reachable.
    std::uint32_t a = 1, b = 2;
    while (hashOf(b) != hashOf(a))
        ++b;
    EXPECT_TRUE(table.Insert(a, 258));
    EXPECT_TRUE(table.Insert(b, 259));
    EXPECT_EQ(table.Lookup(a), 258);
    EXPECT_EQ(table.Lookup(b), 259);
    EXPECT_EQ(table.Lookup(a + 7), -1);
    table.Clear();
    EXPECT_EQ(table.Lookup(a), -1);

    // Probing doubles the slot number modulo 8009, so a key only ever sees the 4004 slots
    // of its cycle. Fill the cycle of slot 1: a further key of that cycle finds no room,
    // and lookups still end.
    std::vector<std::uint32_t> keys;
    for (std::uint32_t k = 0; k < (1u << 20) && keys.size() < 4005; ++k) {
        int h = hashOf(k);
        // Is h in the cycle of 1 (a power of 2 modulo 8009)?
        int p = 1;
        bool inCycle = false;
        for (int i = 0; i < 4004 && !inCycle; ++i, p = p * 2 % THashTable::kSize)
            inCycle = p == h;
        if (inCycle)
            keys.push_back(k);
    }
    ASSERT_EQ(keys.size(), 4005u);
    for (std::size_t i = 0; i < 4004; ++i)
        ASSERT_TRUE(table.Insert(keys[i], static_cast<int>(i & 0xFFF))) << i;
    EXPECT_FALSE(table.Insert(keys[4004], 1));
    EXPECT_EQ(table.Lookup(keys[4004]), -1);
    EXPECT_EQ(table.Lookup(keys[17]), 17);
}
