#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// Follows the colour scheme the user chose on the desktop: read once from the settings portal
// without waiting for it, then on every change it announces. Owned by the application object.
class DesktopColourScheme : public QObject {
    Q_OBJECT

public:
    // Starts following; with no session bus or no portal the program stays light.
    static void Follow();
    // Lets the event loop run until the portal's first answer (or its failure) came, at most the
    // given time: a picture of the screen is taken in the scheme the user sees.
    static void WaitForFirstAnswer(int milliseconds);

private Q_SLOTS:
    // The portal's SettingChanged: a namespace, a key and the value's variant.
    void OnSettingChanged(const QDBusMessage& signal);

private:
    explicit DesktopColourScheme(QObject* parent);
    void OnReadFinished(QDBusPendingCallWatcher* call);

    bool answered = false;
};
