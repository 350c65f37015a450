#pragma once

#include "osc/osctype.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace tarv::osc {

// Turns a one-line text command ("/address arg \"quoted arg\" ...") into the
// wire form of one OSC message. Arguments are separated by blanks; a quoted
// argument is always a string; an unquoted one is an int32 when it reads as a
// 32-bit decimal integer, else a float32 when it reads as a number, else a
// string. Malformed quoting never fails: an open quote takes the rest of the
// line. The type-tag string is always written, "," alone when there are no
// arguments. An empty command gives an empty byte array.
QByteArray EncodeOscMessage(const QString& command);

// Classifies one unquoted token, appending its wire bytes and its type.
void EncodeArgument(const QString& token, std::vector<OscType>& types, QByteArray& bytes);

} // namespace tarv::osc
