#pragma once
// Readable names for parameterised tests: ".../Chinese" in a test list, not ".../1".

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>

#include "core/language.h"

namespace tessaron {

inline void PrintTo(Language language, std::ostream* os) {
    *os << (language == Language::Chinese  ? "Chinese"
            : language == Language::Pseudo ? "Pseudo"
                                           : "English");
}

namespace testing {

inline std::string languageName(const ::testing::TestParamInfo<Language>& info) {
    std::ostringstream name;
    PrintTo(info.param, &name);
    return name.str();
}

}  // namespace testing
}  // namespace tessaron
