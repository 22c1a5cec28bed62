#pragma once
// The SDK's local recording folder, for the sign-in step and the recordings list.

#include <QString>

// The folder the SDK records into now; empty when the SDK or its settings are not available.
QString sdkRecordingFolder();
// Makes the SDK record into folder; false when the SDK refused it or is not available.
bool setSdkRecordingFolder(const QString& folder);
// The sign-in step: on the first sign-in the SDK's folder becomes our own (moved or created) and
// the SDK records there from then on. Returns the folder the recordings list watches, which is
// always the SDK's own, so what the SDK writes is what the list shows.
QString prepareRecordingFolder();
