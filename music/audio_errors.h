#pragma once
// Error codes of the audio layer and of the command interface built on it,
// with their texts. Both back ends of the music player report these.
#include <cstdint>
#include <string>

using MciError = std::uint32_t;

enum MciErrorCode : MciError {
    kMciOk = 0,
    kMciErrMissingCommandString = 257,
    kMciErrUnrecognizedCommand,
    kMciErrUnrecognizedKeyword,
    kMciErrMissingParameter,
    kMciErrMissingDeviceName,
    kMciErrNoClosingQuote,
    kMciErrInvalidDeviceName,
    kMciErrDuplicateAlias,
    kMciErrNoAudioDevice,
    kMciErrFileNotFound,
    kMciErrFileUnreadable,
    kMciErrExtensionNotFound,
    kMciErrInvalidFile,
    kMciErrEmptyPlaylist,
    kMciErrUnsupportedFunction,
    kMciErrPlaybackFailed,
    kMciErrNothingPlayable,
};

// The text of an error code; unknown codes get a text naming the number.
std::string MciErrorText(MciError code);
