#pragma once
// The exception classes of the class library. Every error the library raises derives from
// Exception, so the message loop can report it and carry on.
#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

// A picture file that the graphics classes cannot read.
class EInvalidGraphic : public Exception { using Exception::Exception; };
// An error reported by the JPEG decoder itself.
class EJPEG : public EInvalidGraphic { using EInvalidGraphic::EInvalidGraphic; };
// Text that is not a number.
class EConvertError : public Exception { using Exception::Exception; };
// A file that cannot be opened or read.
class EFOpenError : public Exception { using Exception::Exception; };
// A settings file that cannot be written.
class EIniFileException : public Exception { using Exception::Exception; };
