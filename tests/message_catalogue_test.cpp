// SPDX-License-Identifier: GPL-3.0-or-later
// The reader of msgfmt's catalogues that the Windows programs look their texts up in,
// over a small Russian catalogue (data/catalogue/ru.po) compiled in at build time.

#include "text/message_catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {

std::string_view testCatalogue();

namespace {

const char* orNull(const char* text) {
    return text != nullptr ? text : "(none)";
}

TEST(MessageCatalogue, FindsTheFinishedTranslationsOnly) {
    const MessageCatalogue catalogue(testCatalogue(), &russianPluralForm);
    ASSERT_FALSE(catalogue.empty());
    const struct {
        const char* english;
        const char* russian;
    } cases[] = {
        {"Delete", "Удалить"},
        {"Unable to open any NVM file. Terminated\n",
         "Не удалось открыть ни один файл NVM. Работа прервана\n"},
        {"Say \"yes\"", "Скажите «да»"},
        {"Reload", nullptr},  // fuzzy
        {"Delet", nullptr},
        {"Deletes", nullptr},
        {"", nullptr},  // the header is no translation
        {"%zu row", "%zu строка"},
    };
    for (const auto& c : cases) {
        const char* found = catalogue.find(c.english);
        EXPECT_STREQ(orNull(found), orNull(c.russian)) << c.english;
    }
}

TEST(MessageCatalogue, ChoosesRussiansPluralForm) {
    const MessageCatalogue catalogue(testCatalogue(), &russianPluralForm);
    const struct {
        const char* one;
        unsigned long count;
        const char* russian;
    } cases[] = {
        {"%zu row", 1, "%zu строка"},  {"%zu row", 2, "%zu строки"},
        {"%zu row", 4, "%zu строки"},  {"%zu row", 5, "%zu строк"},
        {"%zu row", 0, "%zu строк"},   {"%zu row", 11, "%zu строк"},
        {"%zu row", 12, "%zu строк"},  {"%zu row", 14, "%zu строк"},
        {"%zu row", 21, "%zu строка"}, {"%zu row", 22, "%zu строки"},
        {"%zu row", 25, "%zu строк"},  {"%zu row", 101, "%zu строка"},
        {"%zu row", 111, "%zu строк"}, {"%zu row", 1004, "%zu строки"},
        {"%zu track", 3, "%zu трека"}, {"%zu track", 5, nullptr},  // its form is empty
        {"Delete", 1, "Удалить"},      {"Delete", 2, nullptr},     // no plural forms
        {"%zu rows", 2, nullptr},  // entries are found by their singular
    };
    for (const auto& c : cases) {
        const char* found = catalogue.findPlural(c.one, c.count);
        EXPECT_STREQ(orNull(found), orNull(c.russian)) << c.one << " " << c.count;
    }
}

TEST(MessageCatalogue, BytesThatAreNoWholeCatalogueTranslateNothing) {
    const std::string_view bytes = testCatalogue();
    std::string wrongMagic(bytes);
    wrongMagic[0] = 0;
    std::string tableOutside(bytes);
    tableOutside[16] = '\xff';  // the translations' table
    tableOutside[19] = '\x7f';
    std::string stringOutside(bytes);
    const auto first = static_cast<unsigned char>(bytes[12]);  // the originals' table
    stringOutside[first + 8 + 7] = '\x7f';                     // the second original's offset
    for (const std::string_view broken :
         {bytes.substr(0, 0), bytes.substr(0, 27), bytes.substr(0, 28),
          bytes.substr(0, bytes.size() / 2), bytes.substr(0, bytes.size() - 1),
          std::string_view(wrongMagic), std::string_view(tableOutside),
          std::string_view(stringOutside)}) {
        const MessageCatalogue catalogue(broken, &russianPluralForm);
        EXPECT_TRUE(catalogue.empty()) << broken.size();
        EXPECT_EQ(catalogue.find("Delete"), nullptr);
        EXPECT_EQ(catalogue.findPlural("%zu row", 1), nullptr);
    }
}

}  // namespace
}  // namespace quillet
