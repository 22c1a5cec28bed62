#pragma once
// A recurring meeting handed to the schedule dialog for editing; the dialog keeps its own copy.

#include <cstdint>
#include <string>

struct RecurringMeetingInfo
{
    std::uint32_t reserved[5] = {};
    std::string topic; // UTF-8
    std::string startTimeText;
    std::string password; // UTF-8, empty when none
    std::uint8_t hostVideo = 1;
    std::uint8_t participantVideo = 1;
    std::uint8_t joinBeforeHost = 0;
    std::uint8_t muteUponEntry = 0;
    std::uint8_t usePmi = 0;
    std::uint8_t autoRecording = 0;
};
