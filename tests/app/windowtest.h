#pragma once

// Shared helpers of the window tests: a fresh window per test, typing that works for Chinese
// text, and lookups of controls by their names.

#include "app/mainwindow.h"
#include "scriptedinteraction.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>
#include <memory>

namespace shenbao::testing {

struct WindowFixture
{
    ScriptedInteraction ui;
    std::unique_ptr<MainWindow> window;

    explicit WindowFixture(const QStringList& arguments = {}, const QString& programDirectory = {})
    {
        window = std::make_unique<MainWindow>(&ui);
        if (!programDirectory.isEmpty())
            window->setProgramDirectory(programDirectory);
        window->start(arguments);
    }

    // Shows and activates the window, for tests that need the keyboard focus.
    bool show()
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    template <class T = QWidget> T* get(const QString& name) const
    {
        T* w = window->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    template <class T = QWidget> T* field(Field f) const { return get<T>(fieldName(f)); }
};

// Types text character by character as key presses carrying the text, as a keyboard or an
// input method that sends key events would.
inline void typeText(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        Qt::Key key = Qt::Key_unknown;
        if (c == u'\n')
            key = Qt::Key_Return;
        else if (c.unicode() < 0x80 && c.isPrint())
            key = Qt::Key(QChar(c).toUpper().unicode());
        const QString t = c == u'\n' ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, t);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, t);
        QApplication::sendEvent(w, &release);
    }
}

inline void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(w, key, modifiers);
}

// Commits text through the input method, as a Chinese input method does.
inline void commitText(QWidget* w, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(w, &event);
}

inline void setClipboard(const QString& text)
{
    QApplication::clipboard()->setText(text);
}

// The fields (and "ProjectID") in which a and b differ, each with both values, for readable
// failures.
inline QStringList differences(const ApplicationRecord& a, const ApplicationRecord& b)
{
    QStringList out;
    // Long values are shown from just before their first difference, line breaks escaped.
    const auto add = [&out](const QString& name, QString x, QString y) {
        qsizetype at = 0;
        while (at < x.size() && at < y.size() && x[at] == y[at])
            ++at;
        const qsizetype from = qMax<qsizetype>(0, at - 10);
        const auto shown = [from](QString v) {
            return (from > 0 ? QStringLiteral("…") : QString()) + v.mid(from, 40)
                                                                      .replace(u'\r', QStringLiteral("\\r"))
                                                                      .replace(u'\n', QStringLiteral("\\n"));
        };
        out.append(QStringLiteral("%1 at %2: \"%3\" / \"%4\"").arg(name).arg(at).arg(shown(x), shown(y)));
    };
    if (a.projectId() != b.projectId())
        add(QStringLiteral("ProjectID"), a.projectId(), b.projectId());
    for (const FieldSpec& spec : fieldCatalogue()) {
        const QString name = QString::fromUtf16(spec.name);
        if (spec.kind != FieldKind::Table) {
            if (a.value(spec.field) != b.value(spec.field))
                add(name, a.value(spec.field), b.value(spec.field));
            continue;
        }
        const TableGrid& x = a.table(spec.field);
        for (int row = 1; row <= x.rows(); ++row)
            for (int column = 0; column < x.columns(); ++column)
                if (x.cell(row, column) != b.table(spec.field).cell(row, column))
                    add(QStringLiteral("%1[%2,%3]").arg(name).arg(row).arg(column), x.cell(row, column),
                        b.table(spec.field).cell(row, column));
    }
    return out;
}

// Fails with the differing fields when two records differ.
#define COMPARE_RECORDS(actual, expected)                                                                    \
    do {                                                                                                     \
        const QStringList differing_ = ::shenbao::testing::differences(actual, expected);                    \
        QVERIFY2(differing_.isEmpty(), qPrintable(differing_.join(u"; ")));                                  \
    } while (false)

inline QString repeated(const QString& s, int n)
{
    return s.repeated(n);
}

} // namespace shenbao::testing
