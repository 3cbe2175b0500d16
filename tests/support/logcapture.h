#pragma once

// Catches what one logging category says while the capture lives, as a user who turned its debug
// messages on with QT_LOGGING_RULES would see it; or, not turned on, proves that it says nothing.
// The filter rules and the message handler before it are put back at the end.
#include <QLoggingCategory>
#include <QString>

#include <mutex>
#include <string>
#include <vector>

class LogCapture {
public:
    enum class Debug { Off, On };

    LogCapture(const char* category, Debug debug) : category(category) {
        if (debug == Debug::On) {
            QLoggingCategory::setFilterRules(QString::fromLatin1(category) + QLatin1String(".debug=true"));
        }
        Current() = this;
        previous = qInstallMessageHandler(&LogCapture::Catch);
    }
    ~LogCapture() {
        qInstallMessageHandler(previous);
        Current() = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> Messages() {
        std::lock_guard<std::mutex> guard(lock);
        return messages;
    }

private:
    static LogCapture*& Current() {
        static LogCapture* current = nullptr;
        return current;
    }

    // Messages of other categories go on to the handler before, which may fail the test on them.
    static void Catch(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        LogCapture* capture = Current();
        if (capture != nullptr && context.category != nullptr && capture->category == context.category) {
            std::lock_guard<std::mutex> guard(capture->lock);
            capture->messages.push_back(message.toStdString());
        } else if (capture != nullptr && capture->previous != nullptr) {
            capture->previous(type, context, message);
        }
    }

    std::string category;
    QtMessageHandler previous = nullptr;
    std::mutex lock;
    std::vector<std::string> messages;
};
