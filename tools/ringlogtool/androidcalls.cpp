#include "tools/ringlogtool/androidcalls.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

constexpr uint64_t kTicksPerMillisecond = 10000ULL;
constexpr int64_t kMillisecondsFrom1601To1970 = 11644473600000LL;
// Up to year 9999, so that every imported time has a calendar form.
constexpr int64_t kLastMillisecond = 253402300799999LL;
constexpr int64_t kLongestCallSeconds = 31536000; // a year

std::string Line(const QXmlStreamReader& xml, const std::string& what) {
    return "line " + std::to_string(xml.lineNumber()) + ": " + what;
}

// A whole decimal number within [min, max].
bool ParseNumber(QStringView text, int64_t min, int64_t max, int64_t* value) {
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok || number < min || number > max || text.startsWith(u'+') || text.trimmed() != text) {
        return false;
    }
    *value = number;
    return true;
}

// Backup apps write a placeholder where the contact has no name.
bool IsNoName(QStringView name) {
    return name.isEmpty() || name == u"null" || name == u"(Unknown)";
}

// One <call>; false with an error added when an attribute is missing or wrong.
bool ReadCall(const QXmlStreamReader& xml, CallRecordData* call, std::vector<std::string>* errors) {
    const QXmlStreamAttributes attributes = xml.attributes();
    int64_t date = 0;
    if (!ParseNumber(attributes.value(QLatin1String("date")), 0, kLastMillisecond, &date)) {
        errors->push_back(Line(xml, "the call has no date, or not milliseconds since 1970"));
        return false;
    }
    int64_t duration = 0;
    if (attributes.hasAttribute(QLatin1String("duration")) &&
        !ParseNumber(attributes.value(QLatin1String("duration")), 0, kLongestCallSeconds, &duration)) {
        errors->push_back(Line(xml, "the call's duration is not a number of seconds"));
        return false;
    }
    int64_t type = 0;
    if (!ParseNumber(attributes.value(QLatin1String("type")), 0, 99, &type)) {
        errors->push_back(Line(xml, "the call has no type"));
        return false;
    }
    switch (type) {
    case 1:
        call->callType = 1;
        break;
    case 2:
        call->callType = 2;
        break;
    case 3: // missed
    case 5: // rejected
    case 6: // blocked
        call->callType = 0;
        break;
    default:
        errors->push_back(Line(xml, "unknown call type " + std::to_string(type)));
        return false;
    }
    int64_t presentation = 1;
    if (attributes.hasAttribute(QLatin1String("presentation")) &&
        !ParseNumber(attributes.value(QLatin1String("presentation")), 0, 99, &presentation)) {
        errors->push_back(Line(xml, "the call's presentation is not a number"));
        return false;
    }
    const QStringView number = attributes.value(QLatin1String("number"));
    if (presentation == 2 || presentation == 3) {
        call->callerIdType = 1; // withheld: no number
    } else if (!number.isEmpty()) {
        call->callerIdType = 2;
        call->number = number.toString().toStdU16String();
    } else {
        call->callerIdType = 0;
    }
    const QStringView name = attributes.value(QLatin1String("contact_name"));
    if (call->callerIdType == 2 && !IsNoName(name)) {
        call->name = name.toString().toStdU16String();
    }
    call->startTime = static_cast<uint64_t>(date + kMillisecondsFrom1601To1970) * kTicksPerMillisecond;
    call->endTime = call->startTime + static_cast<uint64_t>(duration) * 1000 * kTicksPerMillisecond;
    call->flags = 0;
    return true;
}

} // namespace

bool LooksLikeXml(const std::string& text) {
    size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
        ++i;
    }
    return i < text.size() && text[i] == '<';
}

bool CallsFromAndroidXml(const std::string& text, std::vector<CallRecordData>* calls,
                         std::vector<std::string>* errors) {
    QXmlStreamReader xml(QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())));
    std::vector<CallRecordData> read;
    int64_t declared = -1;
    bool root = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token != QXmlStreamReader::StartElement) {
            continue;
        }
        if (!root) {
            if (xml.name() != u"calls") {
                errors->push_back(
                    Line(xml, "not an Android call log: it starts with <" + xml.name().toString().toStdString() + ">"));
                return false;
            }
            root = true;
            if (xml.attributes().hasAttribute(QLatin1String("count")) &&
                !ParseNumber(xml.attributes().value(QLatin1String("count")), 0, INT32_MAX, &declared)) {
                errors->push_back(Line(xml, "the count of calls is not a number"));
            }
            continue;
        }
        if (xml.name() != u"call") {
            errors->push_back(Line(xml, "<" + xml.name().toString().toStdString() + "> where a <call> belongs"));
            xml.skipCurrentElement();
            continue;
        }
        CallRecordData call;
        if (ReadCall(xml, &call, errors)) {
            read.push_back(std::move(call));
        }
        xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        errors->push_back(Line(xml, xml.errorString().toStdString()));
    } else if (declared >= 0 && static_cast<size_t>(declared) != read.size() && errors->empty()) {
        errors->push_back(Line(xml, "the file says it holds " + std::to_string(declared) + " calls but holds " +
                                        std::to_string(read.size()) + ": it may be cut short"));
    }
    if (!errors->empty()) {
        return false;
    }
    std::stable_sort(read.begin(), read.end(),
                     [](const CallRecordData& a, const CallRecordData& b) { return a.startTime < b.startTime; });
    *calls = std::move(read);
    return true;
}
