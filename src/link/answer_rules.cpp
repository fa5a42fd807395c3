#include "link/answer_rules.h"

#include "link/packet_codec.h"

#include <array>

namespace tunekit {
namespace {

using enum AnswerMeaning;

// Answer times: an ordinary request is answered within milliseconds, so 400 ms means lost.
// Requests that make the device work are given what that work takes with a wide margin:
// storing the configuration sector ~0.7 s, erasing the interpreter area a few seconds, a cell
// of extended data (written straight to flash) up to ~0.3 s. A time-out in the middle of such
// work would otherwise end the batch and reset a device that is still flashing.
constexpr qint32 FlashConfigMs = 3000;
constexpr qint32 EraseMs = 8000;
constexpr qint32 InitDefaultMs = 3000;
constexpr qint32 ExtendedCellMs = 1000;
// Uploads from here on are extended data (display data, frequency table, interpreter).
constexpr int FirstExtendedIndex = 0x4000;

// Storing, erasing and restoring defaults may be asked again after their long answer time:
// the work is done by then, and doing it twice leaves the device as doing it once. A reset,
// a calibration or a re-initialisation is not repeated.
//
// Why each refusal means what it means:
// - A read the firmware refuses has no value: the read goes on, the value stays unknown.
// - An Upload, FlashConfig or EraseIL2 refused leaves the device without the data: failed.
// - ConfigEnable came with newer firmware; older firmware answers UnknownResponse and stores
//   what FlashConfig is given anyway, so the write goes on (the read-back tells the truth).
//   An OperationFailed to it means the device will not take the configuration: failed.
// - Reset, InitDefault, Calibration, ReInit refused: the command did not happen: failed.
//
// ConfigEnable and Reset have no completion type of their own: firmware may echo the request
// or send any other frame at its address, and whatever comes there ends the wait.
constexpr int AnyType = -1;
constexpr std::array Rules{
    AnswerRule{DownloadRequest, DownloadResponse, OrdinaryAnswerMs, true, false, NotSupported, NotSupported},
    AnswerRule{Upload, UploadComplete, OrdinaryAnswerMs, true, true, Failed, Failed},
    AnswerRule{ConfigEnable, AnyType, OrdinaryAnswerMs, true, false, Failed, NotSupported},
    AnswerRule{FlashConfig, FlashConfigComplete, FlashConfigMs, true, true, Failed, Failed},
    AnswerRule{EraseIL2, EraseIL2Complete, EraseMs, true, true, Failed, Failed},
    AnswerRule{InitDefault, InitDefaultComplete, InitDefaultMs, true, true, Failed, Failed},
    AnswerRule{Calibration, CalibrationComplete, OrdinaryAnswerMs, false, false, Failed, Failed},
    AnswerRule{ReInit, ReInitComplete, OrdinaryAnswerMs, false, false, Failed, Failed},
    AnswerRule{Reset, AnyType, OrdinaryAnswerMs, false, false, Failed, Failed},
    AnswerRule{EchoRequest, EchoResponse, OrdinaryAnswerMs, true, false, Failed, Failed},
};

} // namespace

AnswerRule answerRuleFor(QByteArrayView request)
{
    const int type = packetType(request);
    for (AnswerRule rule : Rules) {
        if (rule.requestType != type)
            continue;
        if (type == Upload && packetIndex(request) >= FirstExtendedIndex)
            rule.answerMs = ExtendedCellMs;
        return rule;
    }
    // A packet made by hand: whatever the device answers at its address ends the wait.
    return AnswerRule{type, AnyType, OrdinaryAnswerMs, false, false, Done, Done};
}

AnswerMeaning meaningOfAnswer(QByteArrayView request, QByteArrayView answer)
{
    if (answer.size() < PacketSize || packetIndex(answer) != packetIndex(request)
        || packetSubindex(answer) != packetSubindex(request))
        return NotAnAnswer;
    const AnswerRule rule = answerRuleFor(request);
    const int type = packetType(answer);
    if (type == OperationFailed)
        return rule.onOperationFailed;
    if (type == UnknownResponse)
        return rule.onUnknownResponse;
    if (type == rule.answerType || rule.answerType == AnyType)
        return Done;
    return NotAnAnswer;
}

} // namespace tunekit
