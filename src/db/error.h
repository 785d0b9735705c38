#pragma once

#include <QString>
#include <QByteArray>
#include <exception>

namespace tavimond {

// Every failure the system reports is an exception carrying the text the user sees.
class Error : public std::exception {
public:
    explicit Error(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString &message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A failure of the database or of its driver, with the driver's own message.
class DbError : public Error {
public:
    using Error::Error;
};

} // namespace tavimond
