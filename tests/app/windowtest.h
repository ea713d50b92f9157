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

// The names of the fields (and "ProjectID") in which a and b differ, for readable failures.
inline QStringList differences(const ApplicationRecord& a, const ApplicationRecord& b)
{
    QStringList names;
    if (a.projectId() != b.projectId())
        names.append(QStringLiteral("ProjectID"));
    for (const FieldSpec& spec : fieldCatalogue()) {
        const bool differs = spec.kind == FieldKind::Table ? a.table(spec.field) != b.table(spec.field)
                                                           : a.value(spec.field) != b.value(spec.field);
        if (differs)
            names.append(QString::fromUtf16(spec.name));
    }
    return names;
}

inline QString repeated(const QString& s, int n)
{
    return s.repeated(n);
}

} // namespace shenbao::testing
