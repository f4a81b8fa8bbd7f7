#include "keys/key_names.h"

namespace tessaron::keys {
namespace {

struct NamedKey {
    std::uint8_t vk;
    std::uint8_t usage;
    std::string_view name;
};

// Layout keys that are not letters, digits or F keys. The four media keys carry the low byte of
// a consumer usage; the key cell code turns them into consumer cells.
constexpr NamedKey kLayoutNames[] = {
    {27, 0x29, "Esc "},        {44, 0x46, "Prscr "},        {145, 0x47, "Scrol "},
    {19, 0x48, "Pause "},      {174, 0xEA, "Volume DOWN "}, {181, 0x83, "Media "},
    {179, 0xCD, "Play/Pause"}, {175, 0xE9, "Volume UP "},   {192, 0x35, "` "},
    {189, 0x2D, "- "},         {187, 0x2E, "= "},           {8, 0x2A, "Back "},
    {45, 0x49, "Inst "},       {36, 0x4A, "Home "},         {33, 0x4B, "PgUp "},
    {144, 0x53, "Num "},       {111, 0x54, "/ "},           {106, 0x55, "* "},
    {109, 0x56, "- "},         {9, 0x2B, "Tab "},           {219, 0x2F, "[ "},
    {221, 0x30, "] "},         {220, 0x32, "\\ "},          {46, 0x4C, "Del "},
    {35, 0x4D, "End "},        {34, 0x4E, "PgDn "},         {103, 0x5F, "7-num "},
    {104, 0x60, "8-num "},     {105, 0x61, "9-num "},       {107, 0x57, "+ "},
    {20, 0x39, "Caps "},       {186, 0x33, "; "},           {222, 0x34, "' "},
    {13, 0x28, "Enter "},      {100, 0x5C, "4-num "},       {101, 0x5D, "5-num "},
    {102, 0x5E, "6-num "},     {160, 0xE1, "LShift "},      {188, 0x36, ", "},
    {190, 0x37, ". "},         {191, 0x38, "/ "},           {161, 0xE5, "RShift "},
    {38, 0x52, "Up "},         {97, 0x59, "1-num "},        {98, 0x5A, "2-num "},
    {99, 0x5B, "3-num "},      {108, 0x58, "Enter "},       {162, 0xE0, "LCtrl "},
    {91, 0xE3, "LWin "},       {164, 0xE2, "LAlt "},        {32, 0x2C, "Space "},
    {165, 0xE6, "RAlt "},      {93, 0x65, "Apps "},         {163, 0xE4, "RCtrl "},
    {37, 0x50, "Left "},       {40, 0x51, "Down "},         {39, 0x4F, "Right "},
    {96, 0x62, "0-num "},      {110, 0x63, ". "},
};

// Codes without a layout position: the right Windows key and the mouse action keys of macros.
constexpr NamedKey kOtherNames[] = {
    {92, 0xE7, "RWin "},
    {240, 240, "MsLB"},
    {241, 241, "MsRB"},
    {242, 242, "MsMB"},
    {243, 243, ""},
    {244, 244, ""},
    {245, 245, "Mouse Pointer Right"},
    {246, 246, "Mouse Pointer Up"},
    {247, 247, "Mouse pointer Down"},
    {248, 248, "Mouse Wheel Up"},
    {249, 249, "Mouse Wheel Down"},
};

constexpr std::string_view kLetterNames[] = {
    "A ", "B ", "C ", "D ", "E ", "F ", "G ", "H ", "I ", "J ", "K ", "L ", "M ",
    "N ", "O ", "P ", "Q ", "R ", "S ", "T ", "U ", "V ", "W ", "X ", "Y ", "Z ",
};
constexpr std::string_view kDigitNames[] = {"0",  "1 ", "2 ", "3 ", "4 ",
                                            "5 ", "6 ", "7 ", "8 ", "9 "};
constexpr std::string_view kFunctionKeyNames[] = {
    "F1 ", "F2 ", "F3 ", "F4 ", "F5 ", "F6 ", "F7 ", "F8 ", "F9 ", "F10 ", "F11 ", "F12 ",
};

constexpr std::array<KeyNameEntry, kKeyNameCount> buildKeyNameTable() {
    std::array<KeyNameEntry, kKeyNameCount> table{};
    for (std::size_t vk = 0; vk < kKeyNameCount; ++vk)
        table[vk].code = static_cast<std::uint8_t>(vk);
    auto set = [&table](unsigned vk, unsigned usage, std::string_view name) {
        table[vk].usage = static_cast<std::uint8_t>(usage);
        table[vk].name = name;
    };
    for (unsigned vk = 'A'; vk <= 'Z'; ++vk) set(vk, vk - 61, kLetterNames[vk - 'A']);
    for (unsigned vk = '1'; vk <= '9'; ++vk) set(vk, vk - 19, kDigitNames[vk - '0']);
    set('0', 0x27, kDigitNames[0]);
    for (unsigned vk = 112; vk <= 123; ++vk) set(vk, vk - 54, kFunctionKeyNames[vk - 112]);
    for (const auto& k : kLayoutNames) set(k.vk, k.usage, k.name);
    for (const auto& k : kOtherNames) set(k.vk, k.usage, k.name);
    return table;
}

constexpr std::array<KeyNameEntry, kKeyNameCount> kKeyNames = buildKeyNameTable();

}  // namespace

const std::array<KeyNameEntry, kKeyNameCount>& keyNameTable() {
    return kKeyNames;
}

std::string_view keyName(std::uint8_t vk) {
    return kKeyNames[vk].name;
}
std::uint8_t usageCode(std::uint8_t vk) {
    return kKeyNames[vk].usage;
}

std::string joinKeyNames(std::span<const std::uint8_t> vks) {
    std::string text;
    for (std::uint8_t vk : vks) {
        if (vk == 0) continue;
        if (!text.empty()) text += "+ ";
        text += keyName(vk);
    }
    return text;
}

}  // namespace tessaron::keys
