#pragma once

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

// JSON as the office's commands print it: each value on one line, keys in the order written
// (the order a person reading it expects), ", " between items and ": " after a key.

namespace shenbao {

// s as a JSON string literal, quotes included; non-ASCII characters stay as they are (U+FEFF,
// which Qt's own reader drops inside a string, and controls as escapes).
QString jsonString(QStringView s);
void appendJsonString(QString& out, QStringView s);

// One JSON value built in order: the commas come by themselves.
class JsonLine
{
public:
    JsonLine& beginObject() { return open(u'{'); }
    JsonLine& endObject() { return close(u'}'); }
    JsonLine& beginArray() { return open(u'['); }
    JsonLine& endArray() { return close(u']'); }
    // The key of the next value in an object.
    JsonLine& key(QStringView name);
    JsonLine& value(QStringView text);
    JsonLine& value(const QString& text) { return value(QStringView(text)); }
    JsonLine& value(const char16_t* text) { return value(QStringView(text)); }
    JsonLine& value(qint64 number);
    JsonLine& value(int number) { return value(qint64(number)); }
    JsonLine& value(bool truth);
    // A fraction with decimals places.
    JsonLine& value(double number, int decimals);
    // A string, or null when it is empty.
    JsonLine& textOrNull(const QString& text);
    // key and value at once.
    template <class... T> JsonLine& field(QStringView name, T&&... v)
    {
        key(name);
        return value(std::forward<T>(v)...);
    }

    const QString& text() const { return m_text; }

private:
    JsonLine& open(QChar bracket);
    JsonLine& close(QChar bracket);
    void item(); // the separator before a value, unless it follows its key
    QString m_text;
    std::vector<bool> m_first; // for each open bracket: no item in it yet
    bool m_afterKey = false;
};

// A JSON array written to a stream as its items come, one item a line:
// "[\n  item,\n  item\n]\n", and "[\n]\n" for none.
template <class Stream> class JsonListOut
{
public:
    explicit JsonListOut(Stream& out) : m_out(out) { m_out << '['; }
    void add(const JsonLine& line) { m_out << (m_items++ ? ",\n  " : "\n  ") << line.text(); }
    void finish() { m_out << "\n]\n"; }
    qsizetype items() const { return m_items; }

private:
    Stream& m_out;
    qsizetype m_items = 0;
};

} // namespace shenbao
