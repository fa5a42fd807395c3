#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace tunekit {

// What an answer of the awaited address means for the request it answers.
enum class AnswerMeaning {
    Done,         // the request was carried out (or, for a read, the value came)
    NotSupported, // the firmware does not know the request; the batch goes on without it
    Failed,       // the device refused: the batch ends, and a write is not complete
    NotAnAnswer,  // a type that does not belong to this request: ignored, the wait goes on
};

// How the link treats one kind of request: which answer it waits for, how long, whether a
// lost answer may be asked for again, and what the device's two refusals mean.
struct AnswerRule {
    int requestType = 0;
    int answerType = 0;          // the answer that says "done"; -1: any frame at the request's address
    qint32 answerMs = 0;         // how long the device may take before its answer is lost
    bool repeatable = false;     // asking again after a lost answer cannot do harm
    bool changesDevice = false;  // sent, answered or not, it may have changed what the device holds
    AnswerMeaning onOperationFailed = AnswerMeaning::Failed;
    AnswerMeaning onUnknownResponse = AnswerMeaning::Failed;
};

// The time an ordinary request is given: the device answers within a few milliseconds.
constexpr qint32 OrdinaryAnswerMs = 400;

// The rule for the request packet in flight (type, and for Uploads the address: extended data
// goes straight to flash and takes longer than a parameter cell). Requests without a rule of
// their own (typed by hand in the packet console) accept any answer of their address, and so do
// the requests whose completion type the protocol does not name (ConfigEnable, Reset): for them
// only the two refusals mean something of their own.
AnswerRule answerRuleFor(QByteArrayView request);

// What the answer means for the request; NotAnAnswer unless address and subindex match too.
// ChkError is not judged here: it says the request arrived damaged and is sent again.
AnswerMeaning meaningOfAnswer(QByteArrayView request, QByteArrayView answer);

} // namespace tunekit
