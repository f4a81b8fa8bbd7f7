// The program's key tables against tests/data/key_tables.tsv, which was transcribed from the
// documented tables and not from the program: every row of the layout, every one of the 256 key
// names, every function and all 126 factory cells. Each mismatch names its row.

#include <gtest/gtest.h>

#include <string>

#include "device/device_image.h"
#include "keys/functions.h"
#include "keys/key_layout.h"
#include "keys/key_names.h"
#include "support/key_tables_file.h"

namespace tessaron::keys {
namespace {

using tessaron::testing::KeyTablesFile;
using tessaron::testing::readKeyTablesFile;

class DocumentedTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        file_ = new KeyTablesFile(readKeyTablesFile(TESSARON_KEY_TABLES));
    }
    static void TearDownTestSuite() {
        delete file_;
        file_ = nullptr;
    }
    void SetUp() override {
        for (const auto& p : file_->problems) ADD_FAILURE() << p;
        ASSERT_TRUE(file_->problems.empty());
    }
    static const KeyTablesFile& file() { return *file_; }

private:
    static inline KeyTablesFile* file_ = nullptr;
};

TEST_F(DocumentedTables, EveryLayoutRow) {
    ASSERT_EQ(file().layout.size(), kLayoutKeyCount);
    for (std::size_t i = 0; i < file().layout.size(); ++i) {
        const auto& row = file().layout[i];
        SCOPED_TRACE(row.where());
        ASSERT_EQ(row.number(0), static_cast<int>(i)) << "rows out of index order";
        const auto index = static_cast<KeyIndex>(i);
        const KeyLayoutEntry& k = layoutEntry(index);
        EXPECT_EQ(k.vk, row.number(1));
        EXPECT_EQ(layoutVk(index), row.number(1));
        // The layout's name and usage columns are the key name table's entry for its code.
        EXPECT_EQ(keyName(k.vk), row.fields[2]);
        EXPECT_EQ(usageCode(k.vk), row.byte(4));
        EXPECT_EQ(k.legend, row.fields[3]);
        EXPECT_EQ(legend(index), row.fields[3]);
        EXPECT_EQ(k.column, row.number(5));
        EXPECT_EQ(k.row, row.number(6));
        EXPECT_EQ(k.grid, row.number(7));
        EXPECT_EQ(gridPosition(index), row.number(7));
        const KeyRect r = keyRect(index);
        EXPECT_EQ(r.left, row.number(8));
        EXPECT_EQ(r.top, row.number(9));
        EXPECT_EQ(r.right, row.number(10));
        EXPECT_EQ(r.bottom, row.number(11));
        EXPECT_EQ(k.legendAt.x, row.number(12));
        EXPECT_EQ(k.legendAt.y, row.number(13));
        EXPECT_EQ(legendPosition(index).x, row.number(12) + 310);
        EXPECT_EQ(legendPosition(index).y, row.number(13) + 122);
        EXPECT_EQ(factoryCell(index), row.cell(14));
        // Where the key's cell lies: row-major in the device key map, column-major in the
        // factory key map and the light maps.
        const auto column = static_cast<std::size_t>(row.number(5));
        const auto matrixRow = static_cast<std::size_t>(row.number(6));
        EXPECT_EQ(matrixCellOffset(index), 792 + matrixRow * 84 + column * 4);
        EXPECT_EQ(k.matrixOffset(), 4 * (column * 6 + matrixRow));
    }
}

TEST_F(DocumentedTables, EveryKeyName) {
    ASSERT_EQ(file().names.size(), kKeyNameCount);
    for (std::size_t vk = 0; vk < file().names.size(); ++vk) {
        const auto& row = file().names[vk];
        SCOPED_TRACE(row.where());
        ASSERT_EQ(row.number(0), static_cast<int>(vk)) << "rows out of code order";
        const KeyNameEntry& e = keyNameTable()[vk];
        EXPECT_EQ(e.code, vk);
        EXPECT_EQ(e.usage, row.byte(1));
        EXPECT_EQ(e.name, row.fields[2]);
        EXPECT_EQ(usageCode(static_cast<std::uint8_t>(vk)), row.byte(1));
        EXPECT_EQ(keyName(static_cast<std::uint8_t>(vk)), row.fields[2]);
    }
}

TEST_F(DocumentedTables, EveryFunctionInBothLanguages) {
    ASSERT_EQ(file().functions.size(), kFunctionCount);
    const auto table = functionTable();
    for (std::size_t i = 0; i < file().functions.size(); ++i) {
        const auto& row = file().functions[i];
        SCOPED_TRACE(row.where());
        ASSERT_EQ(row.number(0), static_cast<int>(i + 1)) << "rows out of list order";
        EXPECT_EQ(table[i].english(), row.fields[1]);
        EXPECT_EQ(table[i].name(Language::Chinese), row.fields[2]);
        EXPECT_EQ(table[i].cell, row.cell(3));
        EXPECT_EQ(table[i].name(Language::English), row.fields[1]);
        EXPECT_EQ(table[i].name(Language::Chinese), row.fields[2]);
        // Names are unique, so the lookup the key page relies on finds this very row.
        EXPECT_EQ(findFunctionByName(row.fields[1], Language::English), i);
        EXPECT_EQ(findFunctionByName(row.fields[2], Language::Chinese), i);
    }
}

TEST_F(DocumentedTables, EveryFactoryCellInBothOrders) {
    ASSERT_EQ(file().factory.size(), kMatrixCells);
    const FactoryKeyMap& map = factoryKeyMap();
    device::DeviceImage image{};
    writeFactoryKeyMap(image);
    for (std::size_t n = 0; n < file().factory.size(); ++n) {
        const auto& row = file().factory[n];
        SCOPED_TRACE(row.where());
        const auto column = static_cast<std::size_t>(row.number(0));
        const auto matrixRow = static_cast<std::size_t>(row.number(1));
        ASSERT_EQ(column * 6 + matrixRow, n) << "rows out of column-major order";
        const KeyCell expected = row.cell(2);
        const KeyCell columnMajor{map[4 * n], map[4 * n + 1], map[4 * n + 2], map[4 * n + 3]};
        EXPECT_EQ(columnMajor, expected);
        const std::size_t at = 792 + matrixRow * 84 + column * 4;
        const KeyCell rowMajor{image[at], image[at + 1], image[at + 2], image[at + 3]};
        EXPECT_EQ(rowMajor, expected);
    }
    // Nothing but the key map is touched: the 8 spare bytes after its 504 used ones stay zero.
    for (std::size_t i = 0; i < image.size(); ++i) {
        if (i >= 792 && i < 792 + 504) continue;
        ASSERT_EQ(image[i], 0) << "byte " << i;
    }
}

}  // namespace
}  // namespace tessaron::keys
