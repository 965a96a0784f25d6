#pragma once
// The three kinds of failure the program distinguishes.
//  - Abort: a handler stops the operation it is part of, silently (nothing is shown).
//  - DbError: the database refused something; carries the database's own text for the error box.
//  - ConversionError: text that should have been a number or a date was not.
#include <QString>
#include <stdexcept>

namespace kv {

struct Abort {};

class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

class DbError : public Failure {
public:
    // code: the engine's SQLCODE (-803 a key already taken, -913 an update conflict or deadlock),
    // or one of the program's own codes below; 0 when the program raised it without the engine.
    explicit DbError(const QString& text, int code = 0) : Failure(text), code_(code) {}
    int code() const { return code_; }

    static constexpr int kDuplicateKey = -803;
    static constexpr int kConflict = -913;
    // The program's own: a transaction waited for another register's lock past its limit and was
    // stopped, with nothing stored.
    static constexpr int kWaitExpired = -100001;
    // The program's own: part of an operation failed, so the whole operation was undone.
    static constexpr int kOperationUndone = -100002;
    // The program's own: the server or the network dropped the connection. What the statement
    // (or the transaction it was part of) was doing was not stored, unless the connection dropped
    // while a commit was on its way (Connection::lostAtCommit()).
    static constexpr int kConnectionLost = -100003;

private:
    int code_ = 0;
};

class ConversionError : public Failure {
public:
    using Failure::Failure;
};

}  // namespace kv
