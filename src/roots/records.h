#pragma once

#include <QString>

namespace vordane {

// A line of a root file: code ":" word ":" value ":" level.
struct RootRecord {
    QString code;
    QString word;
    QString value;
    QString level;

    static RootRecord parse(const QString &line);
    QString toLine() const;
    // The record as the root creator writes it: every field in lower case.
    RootRecord lowercased() const;
    bool operator==(const RootRecord &) const = default;
};

// A line of a language file: code ":" word ":" form.
struct LanguageEntry {
    QString code;
    QString word;
    QString form;

    static LanguageEntry parse(const QString &line);
    bool operator==(const LanguageEntry &) const = default;
};

// The name of the temporary copy beside a root or language file.
inline QString temporaryCopyName(const QString &path)
{
    return path + QStringLiteral(".tmp");
}

} // namespace vordane
