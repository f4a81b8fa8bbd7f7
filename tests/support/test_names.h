#pragma once
// Readable names for parameterised tests: ".../Chinese" in a test list, not ".../1".

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "core/language.h"

namespace tessaron {

inline void PrintTo(Language language, std::ostream* os) {
    *os << (language == Language::Chinese ? "Chinese" : "English");
}

namespace testing {

inline std::string languageName(const ::testing::TestParamInfo<Language>& info) {
    return info.param == Language::Chinese ? "Chinese" : "English";
}

}  // namespace testing
}  // namespace tessaron
