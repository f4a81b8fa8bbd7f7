#pragma once
// Reads tests/data/key_tables.tsv, the key tables written down from the documented layout. The
// tests compare the program's tables with it row by row; every row keeps its line number and
// text so that a mismatch names the row it came from.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace tessaron::testing {

struct TableRow {
    int line = 0;
    std::string text;
    std::vector<std::string> fields;  // after the tag; quoted fields without their quotes

    std::string where() const {
        return "key_tables.tsv line " + std::to_string(line) + ": " + text;
    }
    int number(std::size_t i) const { return std::stoi(fields.at(i)); }
    std::uint8_t byte(std::size_t i) const {
        return static_cast<std::uint8_t>(std::stoul(fields.at(i), nullptr, 16));
    }
    std::array<std::uint8_t, 4> cell(std::size_t i) const {
        std::array<std::uint8_t, 4> c{};
        const std::string& s = fields.at(i);  // "00 00 29 00"
        for (std::size_t b = 0; b < c.size(); ++b)
            c[b] = static_cast<std::uint8_t>(std::stoul(s.substr(b * 3, 2), nullptr, 16));
        return c;
    }
};

struct KeyTablesFile {
    std::vector<TableRow> layout;     // index vk name legend usage column row grid
                                      // left top right bottom legend-x legend-y cell
    std::vector<TableRow> names;      // vk usage name
    std::vector<TableRow> functions;  // number english chinese cell
    std::vector<TableRow> factory;    // column row cell
    std::vector<std::string> problems;
};

inline KeyTablesFile readKeyTablesFile(const std::string& path) {
    KeyTablesFile file;
    std::ifstream in(path);
    if (!in) {
        file.problems.push_back("cannot open " + path);
        return file;
    }
    struct Section {
        const char* tag;
        std::vector<TableRow>* rows;
        std::size_t fields;
    };
    const Section sections[] = {{"layout", &file.layout, 15},
                                {"name", &file.names, 3},
                                {"function", &file.functions, 4},
                                {"factory", &file.factory, 3}};
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (text.empty() || text[0] == '#') continue;
        std::vector<std::string> parts;
        for (std::size_t from = 0;;) {
            const std::size_t tab = text.find('\t', from);
            std::string part = text.substr(from, tab == std::string::npos ? tab : tab - from);
            if (part.size() >= 2 && part.front() == '"' && part.back() == '"')
                part = part.substr(1, part.size() - 2);
            parts.push_back(part);
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        bool known = false;
        for (const Section& s : sections) {
            if (parts[0] != s.tag) continue;
            known = true;
            if (parts.size() != s.fields + 1) {
                file.problems.push_back("line " + std::to_string(line) + ": " +
                                        std::to_string(parts.size() - 1) + " fields, expected " +
                                        std::to_string(s.fields));
                break;
            }
            s.rows->push_back({line, text, {parts.begin() + 1, parts.end()}});
        }
        if (!known) file.problems.push_back("line " + std::to_string(line) + ": unknown row");
    }
    return file;
}

}  // namespace tessaron::testing
