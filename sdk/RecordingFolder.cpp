#include "RecordingFolder.h"

#include "base/Settings.h"
#include "sdk/MeetingControls.h"

QString prepareRecordingFolder()
{
    const QString current = meetingsdk::recordingFolder();
    if (current.isEmpty())
        return QString();
    const QString ours = settings::firstRunRecordingFolder(current);
    if (!ours.isEmpty())
        meetingsdk::setRecordingFolder(ours);
    // Read back: a folder the SDK refused must not leave the list watching where nothing is written.
    return meetingsdk::recordingFolder();
}
