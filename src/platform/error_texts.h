#pragma once
// The text of every error number the program raises or meets, in the words of Traditional
// Chinese Windows: one table for the simulated and the real machine, so a trap, a stop message
// and the install log read the same on both. The real machine prefers the system's own text
// where it has one and falls back to this table.

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace platform {

struct ErrorText {
    long long number;
    std::string_view text;
};

inline constexpr ErrorText kErrorTexts[] = {
    {errors::kInvalidProcedureCall, "無效的程序呼叫或引數"},
    {errors::kOverflow, "溢位"},
    {errors::kOutOfMemory, "記憶體不足"},
    {errors::kTypeMismatch, "型態不符合"},
    {errors::kInternalError, "內部錯誤"},
    {errors::kBadFileName, "錯誤的檔案名稱或數目"},
    {errors::kFileNotFound, "找不到檔案"},
    {errors::kDiskFull, "磁碟已滿"},
    {errors::kInputPastEnd, "輸入超過檔案結尾"},
    {errors::kPermissionDenied, "沒有使用權限"},
    {errors::kPathFileAccess, "路徑/檔案存取錯誤"},
    {errors::kPathNotFound, "找不到路徑"},
    {errors::kInvalidPropertyValue, "無效的屬性值"},
    {errors::kInvalidIndex, "無效的屬性陣列索引"},
    {errors::kNetworkDown, "通訊端操作遇到了失效的網路。"},
    {errors::kFileNotFoundHresult, "系統找不到指定的檔案。"},
    {errors::kAccessDeniedHresult, "存取被拒。"},
    {errors::kRpcUnavailable, "RPC 伺服器無法使用。"},
    {errors::kUnknownPort, "指定的連接埠不明。"},
    {errors::kUnknownPrinterDriver, "印表機驅動程式不明。"},
    {errors::kInvalidPrinterName, "印表機名稱無效。"},
    {errors::kBusy, "要求的資源正在使用中。"},
    {errors::kMonikerSyntax, "無效的語法"},
    {errors::kBadParamCount, "參數個數錯誤"},
    {errors::kWbemFailed, "一般性失敗"},
    {errors::kWbemNotFound, "找不到"},
    {errors::kWbemAccessDenied, "拒絕存取"},
    {errors::kWbemTypeMismatch, "類型不符"},
    {errors::kWbemOutOfMemory, "記憶體不足"},
    {errors::kWbemInvalidParameter, "無效的參數"},
    {errors::kWbemCriticalError, "嚴重錯誤"},
    {errors::kWbemNotSupported, "不支援"},
    {errors::kWbemInvalidNamespace, "無效的命名空間"},
    {errors::kWbemInvalidClass, "無效的類別"},
    {errors::kWbemProviderLoadFailure, "提供者載入失敗"},
    {errors::kWbemInvalidQuery, "無效的查詢"},
    {errors::kWbemUnexpected, "非預期的錯誤"},
    {errors::kWbemInvalidMethod, "無效的方法"},
    {errors::kWbemInvalidMethodParameters, "無效的方法參數"},
};

// A number listed twice would leave one of its texts unused.
constexpr bool numbersAreUnique() {
    for (std::size_t i = 0; i < std::size(kErrorTexts); ++i) {
        for (std::size_t j = i + 1; j < std::size(kErrorTexts); ++j) {
            if (kErrorTexts[i].number == kErrorTexts[j].number)
                return false;
        }
    }
    return true;
}
static_assert(numbersAreUnique(), "an error number is listed twice");

// The text of an error number; empty for one the table does not hold.
inline std::string errorText(long long number) {
    for (const ErrorText& entry : kErrorTexts) {
        if (entry.number == number)
            return std::string(entry.text);
    }
    return {};
}

// The error as the system raises it, with the table's text.
inline Error errorFor(long long number, std::optional<std::string> call = {}) {
    return Error(number, errorText(number), std::move(call));
}

}  // namespace platform
