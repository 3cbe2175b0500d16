#include "platform/time/timelocale.h"

#include "platform/text/textqt.h"

#include <QByteArray>
#include <QLocale>
#include <QTime>

#include <cstdlib>
#include <mutex>

namespace {

// The locale variable that decides time formats, in the C library's order of precedence.
QByteArray TimeLocaleName() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return QByteArray(value);
        }
    }
    return QByteArray();
}

// QLocale::system() reads the environment once per process. A process that changes its locale
// later (the tests do) gets a locale built from the same variables instead.
QLocale TimeLocale() {
    static std::once_flag once;
    static QByteArray startupName;
    std::call_once(once, [] { startupName = TimeLocaleName(); });
    const QByteArray name = TimeLocaleName();
    if (name == startupName) {
        return QLocale::system();
    }
    if (name.isEmpty() || name == "C" || name.startsWith("C.") || name == "POSIX") {
        return QLocale::c();
    }
    QByteArray base = name;
    const qsizetype cut = base.indexOf('.');
    if (cut >= 0) {
        base.truncate(cut);
    }
    const qsizetype modifier = base.indexOf('@');
    if (modifier >= 0) {
        base.truncate(modifier);
    }
    return QLocale(QString::fromLatin1(base));
}

} // namespace

size_t GetLocaleTimePattern(char16_t* pattern, size_t capacity) {
    return FromQString(pattern, capacity, TimeLocale().timeFormat(QLocale::ShortFormat));
}

size_t FormatLocaleTimeNoSeconds(const SystemTime& fields, char16_t* text, size_t capacity) {
    const QTime time(fields.hour, fields.minute);
    return FromQString(text, capacity, TimeLocale().toString(time, QLocale::ShortFormat));
}
