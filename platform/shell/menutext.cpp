#include "platform/shell/menutext.h"

QString MenuText(const std::u16string& text) {
    QString result;
    const QString source = QString::fromStdU16String(text);
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == QLatin1Char('&') && i + 1 < source.size()) {
            ++i;
        }
        result += source[i];
    }
    return result;
}
