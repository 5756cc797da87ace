#include "engine/FHException.h"

#include <QVector>

#include <algorithm>

namespace FHError {
const char *const LogFileFormat = "Unable to open %1 log file '%2'";
const char *const CreateDirectoryFormat = "Unable to create directory '%1', It is expected as '%2'";
const char *const PathMissingFormat = "Path '%1' does not exist. It is expected as '%2'";
const char *const PathIsFileFormat = "Path '%1' exists as a file. It is expected as '%2'";
const char *const PathIsDirectoryFormat = "Path '%1' exists as a directory. It is expected as '%2'";
const char *const RenameFormat = "Unable to rename file from '%1' to '%2'. It is expected as '%3'";
const char *const CopyFormat = "Unable to copy file from '%1' to '%2'. It is expected as '%3'";
const char *const NumKeywordMissingFormat
    = "Keywords ${NUM} is missing in customized naming string '%1'";
} // namespace FHError

namespace {

// Substitutes all arguments in one pass, like QString::arg(a1, a2, ...): the
// lowest-numbered marker takes the first argument, the next one the second.
// Chained arg() calls would also expand a "%2" that a file name brings along.
QString substitute(const QString &format, std::initializer_list<QString> args)
{
    QVector<int> numbers;
    for (int i = 0; i + 1 < format.size(); ++i) {
        if (format.at(i) == QLatin1Char('%') && format.at(i + 1).isDigit()) {
            const int n = format.at(i + 1).digitValue();
            if (n > 0 && !numbers.contains(n))
                numbers.append(n);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.resize(qMin(numbers.size(), int(args.size())));

    QString result;
    for (int i = 0; i < format.size(); ++i) {
        const int n = (format.at(i) == QLatin1Char('%') && i + 1 < format.size())
            ? format.at(i + 1).digitValue()
            : -1;
        const int index = n > 0 ? numbers.indexOf(n) : -1;
        if (index >= 0) {
            result += *(args.begin() + index);
            ++i;
        } else {
            result += format.at(i);
        }
    }
    return result;
}

} // namespace

FHException::FHException(int code, const QString &format, std::initializer_list<QString> args)
    : m_message(substitute(format, args))
    , m_code(code)
    , m_codeText(QStringLiteral("0x%1").arg(code, 6, 16, QLatin1Char('0')).toUpper())
{
}
