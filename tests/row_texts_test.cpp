// SPDX-License-Identifier: GPL-3.0-or-later
// A row's texts share one block, which rows may share with each other; any mix of
// setting, removing, copying and reading texts must give what a plain sequence of
// strings gives, whatever the other rows sharing the block do.

#include "ui/row_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {
namespace {

TEST(RowTexts, BehavesAsASequenceOfStrings) {
    std::mt19937 random(9);
    for (int round = 0; round < 300; ++round) {
        RowTexts texts;
        std::vector<std::string> model;
        RowTexts other;  // shares blocks with `texts` now and then
        std::vector<std::string> otherModel;
        for (int step = 0; step < 60; ++step) {
            const std::size_t column = random() % 30;
            switch (random() % 11) {
                case 8: {
                    const std::vector<std::string_view> views(otherModel.begin(), otherModel.end());
                    texts.assign(views);
                    model = otherModel;
                    break;
                }
                case 9: {
                    const std::string text(random() % 20, static_cast<char>('A' + random() % 26));
                    std::vector<std::string> shared = otherModel;
                    if (column >= shared.size()) {
                        shared.resize(column + 1);
                    }
                    shared[column] = text;
                    texts.assignSharing(other, column, text);
                    model = shared;
                    break;
                }
                case 10:
                    other = texts;
                    otherModel = model;
                    break;
                case 0:
                    texts.erase(column);
                    if (column < model.size()) {
                        model.erase(model.begin() + static_cast<std::ptrdiff_t>(column));
                    }
                    break;
                case 1:
                    if (random() % 10 == 0) {
                        texts.clear();
                        model.clear();
                    }
                    break;
                default: {
                    const std::string text(random() % 3 == 0 ? 0 : random() % 150,
                                           static_cast<char>('a' + random() % 26));
                    const std::size_t columns = random() % 30;
                    texts.set(column, text, columns);
                    if (column >= model.size()) {
                        model.resize(std::max(column + 1, columns));
                    }
                    model[column] = text;
                }
            }
            ASSERT_EQ(texts.size(), model.size());
            ASSERT_EQ(other.size(), otherModel.size());
            for (std::size_t c = 0; c < 32; ++c) {
                ASSERT_EQ(texts.get(c), c < model.size() ? model[c] : "") << round << "/" << step;
                ASSERT_EQ(other.get(c), c < otherModel.size() ? otherModel[c] : "")
                    << round << "/" << step;
            }
        }
    }
}

TEST(RowTexts, TakesATextOfItsOwnRow) {
    RowTexts texts;
    texts.set(0, "first", 3);
    texts.set(2, "third", 3);
    texts.set(1, texts.get(2), 3);
    texts.set(0, texts.get(0).substr(1), 3);
    EXPECT_EQ(texts.get(0), "irst");
    EXPECT_EQ(texts.get(1), "third");
    EXPECT_EQ(texts.get(2), "third");
}

}  // namespace
}  // namespace quillet
