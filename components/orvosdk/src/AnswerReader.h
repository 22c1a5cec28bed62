#pragma once
// Reading the cloud's JSON answers. One string of text that is not UTF-8 (a topic or a name typed
// through some other client) must cost that one member, not the whole meeting list or state.

#include <QByteArray>
#include <QJsonObject>

namespace orvo {

// The answer with every string value that is not valid UTF-8 replaced by null, and every such
// member name made unmatchable ("\ufffd" for each bad sequence). Valid text comes back unchanged.
QByteArray WithoutBadText(const QByteArray& body);

// The answer's top-level object; false when the body is not a JSON object even after the above.
bool ReadAnswerObject(const QByteArray& body, QJsonObject& object);

} // namespace orvo
