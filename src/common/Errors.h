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
    using Failure::Failure;
};

class ConversionError : public Failure {
public:
    using Failure::Failure;
};

}  // namespace kv
