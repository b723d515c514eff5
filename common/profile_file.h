// INI files with the semantics of the Windows private-profile functions.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace kyvo {

// Sections and keys match without regard to ASCII case and keep the order
// in which they were first written; names are kept exactly as given, so keys
// such as "start_ip0[1]" and sections of asterisks survive a round trip.
// Texts are bytes in the local code page (GBK). Lines end in CR LF.
class ProfileFile
{
public:
    // A missing or unreadable file reads as empty.
    static ProfileFile load(const QString &path);
    static ProfileFile parse(const QByteArray &text);

    std::optional<QByteArray> value(const QByteArray &section, const QByteArray &key) const;
    // GetPrivateProfileString: the value with surrounding blanks (and one pair
    // of matching quotes) removed, cut to maxLength bytes; the default when
    // the key is missing.
    QByteArray getString(const QByteArray &section, const QByteArray &key, const QByteArray &fallback = {},
                         int maxLength = 65535) const;
    // GetPrivateProfileInt: the decimal value of the text, the default when
    // the key is missing.
    int getInt(const QByteArray &section, const QByteArray &key, int fallback = 0) const;

    // WritePrivateProfileString: replaces the value in place, or appends the
    // key to its section, or the section to the end of the file.
    void setString(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    void setInt(const QByteArray &section, const QByteArray &key, long long value);
    void removeKey(const QByteArray &section, const QByteArray &key);
    void removeSection(const QByteArray &section);

    bool hasSection(const QByteArray &section) const;
    QList<QByteArray> sectionNames() const;
    QList<QByteArray> keys(const QByteArray &section) const;

    QByteArray serialize() const;
    // Replaces the file as a whole (never leaves half a file behind).
    bool save(const QString &path) const;

private:
    struct Line {
        QByteArray key;   // empty for comments and blank lines
        QByteArray value; // the raw text after '=' (or the whole line)
        bool isEntry = false;
    };
    struct Section {
        QByteArray name;
        std::vector<Line> lines;
    };
    Section *findSection(const QByteArray &name);
    const Section *findSection(const QByteArray &name) const;

    std::vector<Line> m_preamble; // lines before the first section
    std::vector<Section> m_sections;
};

} // namespace kyvo
