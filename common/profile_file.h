// INI files with the semantics of the Windows private-profile functions.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
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
    // No settings or parameter file is this large; a larger one is not read.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    enum class LoadStatus { Loaded, Unreadable, TooLarge };

    // A missing, unreadable or too large file reads as empty; status says which.
    static ProfileFile load(const QString &path, LoadStatus *status = nullptr);
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
    // Names are looked up by their ASCII-lower-case form. A key's index holds
    // the line of its first entry, as the system functions read the first.
    struct Section {
        QByteArray name;
        std::vector<Line> lines;
        QHash<QByteArray, std::size_t> keyIndex;
        void addLine(Line line);
        void reindex();
        const Line *entry(const QByteArray &key) const;
    };
    Section *findSection(const QByteArray &name);
    const Section *findSection(const QByteArray &name) const;
    Section &sectionFor(const QByteArray &name); // found or appended
    void reindex();

    std::vector<Line> m_preamble; // lines before the first section
    std::vector<Section> m_sections;
    QHash<QByteArray, std::size_t> m_sectionIndex;
};

// The message for a file that load() refused as too large, in the language asked for.
QString profileTooLargeText(const QString &path, bool english);

} // namespace kyvo
