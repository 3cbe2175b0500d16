#include "platform/time/timelocale.h"

#include "platform/text/textqt.h"

#include <QByteArray>
#include <QLocale>
#include <QTime>

#include <cstdlib>

namespace {

// The locale variable that decides time formats, in the C library's order of precedence; null
// when none is set.
const char* TimeLocaleVariable() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return nullptr;
}

QByteArray TimeLocaleName() {
    const char* value = TimeLocaleVariable();
    return value != nullptr ? QByteArray(value) : QByteArray();
}

// The locale a variable names, built as Qt's system locale builds the one its times follow.
// QLocale::system() itself is not asked: it reads the environment once, whenever Qt first needs a
// locale (opening a logging category is enough), so it may have read it before a process changed
// its locale (the tests do).
QLocale LocaleNamed(const QByteArray& name) {
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

// The call list asks for both facts once per call it loads; building a locale and formatting
// each time would cost more than reading the call, so the answers are kept while the locale
// and the minute stay the same.
struct LocaleCache {
    bool valid = false;
    QByteArray name;
    QLocale locale;
    QString pattern;
    int hour = -1;
    int minute = -1;
    QString formatted;
};

LocaleCache& CurrentLocale() {
    thread_local LocaleCache cache;
    const char* variable = TimeLocaleVariable();
    if (!cache.valid || cache.name != (variable != nullptr ? variable : "")) {
        const QByteArray name = TimeLocaleName();
        cache.locale = LocaleNamed(name);
        cache.name = name;
        cache.pattern = cache.locale.timeFormat(QLocale::ShortFormat);
        cache.hour = -1;
        cache.valid = true;
    }
    return cache;
}

} // namespace

size_t GetLocaleTimePattern(char16_t* pattern, size_t capacity) {
    return FromQString(pattern, capacity, CurrentLocale().pattern);
}

size_t FormatLocaleTimeNoSeconds(const SystemTime& fields, char16_t* text, size_t capacity) {
    LocaleCache& cache = CurrentLocale();
    if (cache.hour != fields.hour || cache.minute != fields.minute) {
        cache.formatted = cache.locale.toString(QTime(fields.hour, fields.minute), QLocale::ShortFormat);
        cache.hour = fields.hour;
        cache.minute = fields.minute;
    }
    return FromQString(text, capacity, cache.formatted);
}
