#include "historymode.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<HistoryMode, const char *>, 9> Codes{{
    {HistoryMode::Learning, "learning"},
    {HistoryMode::Preparation, "preparation"},
    {HistoryMode::Training, "training"},
    {HistoryMode::Exam, "exam"},
    {HistoryMode::Mistakes, "mistakes"},
    {HistoryMode::Review, "review"},
    {HistoryMode::OfficialExam, "official_exam"},
    {HistoryMode::Marathon, "marathon"},
    {HistoryMode::Topic, "topic"},
}};

} // namespace

QString HistoryModes::code(HistoryMode mode)
{
    for (const auto &[m, text] : Codes) {
        if (m == mode)
            return QString::fromLatin1(text);
    }
    return {};
}

std::optional<HistoryMode> HistoryModes::fromCode(const QString &code)
{
    for (const auto &[m, text] : Codes) {
        if (code == QLatin1String(text))
            return m;
    }
    return std::nullopt;
}
