#pragma once
// The package maker's help text, line by line.

namespace maker {

inline constexpr const char* kHelpTitle = "一鍵安裝製作說明";
inline constexpr const char* kHelpText =
    "一鍵安裝制做說明\r\n"
    "\r\n"
    "   步驟1 =>自動尋找\r\n"
    "   步驟2 =>選擇型號(如型號不符，再自行挑選)\r\n"
    "\r\n"
    "=====選項說明======\r\n"
    "    ◎設定為預設印表機： 安裝完成後會將印表機設為預設印表機。\r\n"
    "    ◎套用自訂「列印喜好設定」檔： 安裝完成後會套用預設的「列印喜好設定」檔。\r\n"
    "    ◎安裝兩台 「(分彩色及黑白)」： 安裝兩台印表機會在名稱後分彩色及黑白。\r\n"
    "\r\n"
    "    ◎製作「列印喜好設定」檔： 制做所要預設的列印喜好設定值，需在安裝完成印表機後才能制做。";

}  // namespace maker
