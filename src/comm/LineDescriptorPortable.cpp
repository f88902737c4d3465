#include "comm/LineDescriptor.h"

namespace tessaly::comm {

// Without a known handle every exchange goes through the QIODevice.
LineDescriptor::LineDescriptor(QIODevice& /*io*/) {}

qint64 LineDescriptor::ReadNow(char* /*data*/, qint64 /*size*/) const { return -1; }

qint64 LineDescriptor::WriteNow(const char* /*data*/, qint64 /*size*/) const { return -1; }

qint64 LineDescriptor::ReadWithin(char* /*data*/, qint64 /*size*/, int /*ms*/) const { return -1; }

}  // namespace tessaly::comm
