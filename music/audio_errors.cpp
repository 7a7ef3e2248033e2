#include "music/audio_errors.h"

std::string MciErrorText(MciError code)
{
    switch (code) {
    case kMciOk:
        return "The command completed without error.";
    case kMciErrMissingCommandString:
        return "No command was given.";
    case kMciErrUnrecognizedCommand:
        return "The command is not one the sound device understands.";
    case kMciErrUnrecognizedKeyword:
        return "The command contains a keyword the sound device does not understand.";
    case kMciErrMissingParameter:
        return "A keyword of the command needs a value that is missing.";
    case kMciErrMissingDeviceName:
        return "The command names no device or file.";
    case kMciErrNoClosingQuote:
        return "A quoted name in the command has no closing double quote.";
    case kMciErrInvalidDeviceName:
        return "The named device is not open.";
    case kMciErrDuplicateAlias:
        return "The alias is already used by another open device.";
    case kMciErrNoAudioDevice:
        return "No audio output is available to play sound.";
    case kMciErrFileNotFound:
        return "The sound file does not exist.";
    case kMciErrFileUnreadable:
        return "The sound file cannot be read.";
    case kMciErrExtensionNotFound:
        return "The file name extension is not one of a sound type that can be played.";
    case kMciErrInvalidFile:
        return "The file does not hold sound of the type its extension names; it may be damaged.";
    case kMciErrEmptyPlaylist:
        return "The playlist names no file that exists.";
    case kMciErrUnsupportedFunction:
        return "The sound device does not support this request.";
    case kMciErrPlaybackFailed:
        return "The sound could not be decoded or played.";
    case kMciErrNothingPlayable:
        return "None of the files of the playlist could be played.";
    }
    return "Unknown sound error " + std::to_string(code) + ".";
}
