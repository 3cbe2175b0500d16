#include "platform/ui/desktopcolourscheme.h"

#include "platform/ui/colourscheme.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QVariant>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
#include <QGuiApplication>
#include <QStyleHints>
#endif

Q_LOGGING_CATEGORY(lcScheme, "ringlog.platform.ui")

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kColourSchemeKey = QStringLiteral("color-scheme");

// The slot as SLOT() spells it, written out: the bus matches the signature as a string, without the
// spaces the formatter would put into the macro's argument.
constexpr const char* kSettingChangedSlot = "1OnSettingChanged(QDBusMessage)";

DesktopColourScheme* instance = nullptr;

// Read answers a variant that holds the value's variant; the signal gives the value's variant
// directly. Either way the value is an unsigned 32-bit number; anything else is no preference.
unsigned PreferenceOf(QVariant value) {
    while (value.canConvert<QDBusVariant>() && value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    bool isNumber = false;
    const unsigned preference = value.toUInt(&isNumber);
    if (!isNumber) {
        qCWarning(lcScheme) << "refused a colour scheme that is not a number:" << value;
        return 0;
    }
    return preference;
}

} // namespace

void DesktopColourScheme::Follow() {
    if (instance != nullptr || QCoreApplication::instance() == nullptr) {
        return;
    }
    instance = new DesktopColourScheme(QCoreApplication::instance());
}

void DesktopColourScheme::WaitForFirstAnswer(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (instance != nullptr && !instance->answered && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
}

DesktopColourScheme::DesktopColourScheme(QObject* parent) : QObject(parent) {
    QObject::connect(this, &QObject::destroyed, [] { instance = nullptr; });
    // Light, with its readable selection, until the desktop answers.
    ColourScheme::Apply(ColourScheme::kLight);
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    // The platform's theme reads the portal itself from 6.5 on.
    const auto follow = [this](Qt::ColorScheme scheme) {
        answered = true;
        ColourScheme::Apply(scheme == Qt::ColorScheme::Dark ? ColourScheme::kDark : ColourScheme::kLight);
    };
    QObject::connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, this, follow);
    follow(QGuiApplication::styleHints()->colorScheme());
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        answered = true;
        return;
    }
    if (!bus.connect(kPortalService, kPortalPath, kSettingsInterface, QStringLiteral("SettingChanged"), this,
                     kSettingChangedSlot)) {
        qCWarning(lcScheme) << "cannot follow the desktop's colour scheme:" << bus.lastError().message();
    }
    QDBusMessage read =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, kSettingsInterface, QStringLiteral("Read"));
    read << kAppearance << kColourSchemeKey;
    auto* call = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    QObject::connect(call, &QDBusPendingCallWatcher::finished, this,
                     [this](QDBusPendingCallWatcher* finished) { OnReadFinished(finished); });
#endif
}

void DesktopColourScheme::OnReadFinished(QDBusPendingCallWatcher* call) {
    answered = true;
    call->deleteLater();
    const QDBusPendingReply<QVariant> reply = *call;
    if (reply.isError()) {
        // No portal, or one without the key: the light scheme, as before there were schemes.
        return;
    }
    ColourScheme::Apply(ColourScheme::FromDesktopPreference(PreferenceOf(reply.value())));
}

void DesktopColourScheme::OnSettingChanged(const QDBusMessage& signal) {
    const QList<QVariant> arguments = signal.arguments();
    if (arguments.size() != 3 || arguments[0].toString() != kAppearance ||
        arguments[1].toString() != kColourSchemeKey) {
        return;
    }
    answered = true;
    ColourScheme::Apply(ColourScheme::FromDesktopPreference(PreferenceOf(arguments[2])));
}
