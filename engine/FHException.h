#ifndef FHEXCEPTION_H
#define FHEXCEPTION_H

#include <QString>
#include <exception>
#include <initializer_list>

// The program's one error type: a fixed English message and a code text such as
// 0X000106. The message is read through message(), never through what().
class FHException : public std::exception
{
public:
    // One to nine text arguments fill %1, %2, ... in order.
    template<typename... Args>
    FHException(int code, const QString &format, const Args &...args)
        : FHException(code, format, std::initializer_list<QString> { QString(args)... })
    {
        static_assert(sizeof...(Args) >= 1 && sizeof...(Args) <= 9, "one to nine arguments");
    }

    const QString &message() const { return m_message; }
    int code() const { return m_code; }
    const QString &codeText() const { return m_codeText; }
    // What the system said, e.g. "No space left on device"; shown beside the
    // fixed message, never inside it. Empty when there is nothing to add.
    const QString &systemReason() const { return m_systemReason; }
    void setSystemReason(const QString &reason) { m_systemReason = reason; }

private:
    FHException(int code, const QString &format, std::initializer_list<QString> args);

    QString m_message;
    int m_code;
    QString m_codeText;
    QString m_systemReason;
};

// Error codes and their fixed formats; never translated.
namespace FHError {
enum Code
{
    LogFile = 260,
    CreateDirectory = 261,
    PathMissing = 262,
    PathIsFile = 263,
    PathIsDirectory = 264,
    Rename = 265,
    NumKeywordMissing = 266,
    // Beyond the program's first seven: a copy when the originals are kept.
    Copy = 267,
};
extern const char *const LogFileFormat;
extern const char *const CreateDirectoryFormat;
extern const char *const PathMissingFormat;
extern const char *const PathIsFileFormat;
extern const char *const PathIsDirectoryFormat;
extern const char *const RenameFormat;
extern const char *const NumKeywordMissingFormat;
extern const char *const CopyFormat;
} // namespace FHError

#endif // FHEXCEPTION_H
