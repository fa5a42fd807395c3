#include "link/transmit_engine.h"

#include "app/dialogs.h"
#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"

#include <QCoreApplication>

#include <cmath>

namespace tunekit {
namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("TransmitEngine", text);
}

constexpr qint32 TimeoutLimit = 400; // 40 ticks of 10 ms

} // namespace

void TransmitEngine::Connect(SerialPortAccess& port, Dialogs& dialogs, PortState& portState, EngineViews& views)
{
    port_ = &port;
    dialogs_ = &dialogs;
    portState_ = &portState;
    views_ = &views;
}

void TransmitEngine::SendPacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data)
{
    state_.TxQueue.Append(MakePacket(type, index, subindex, data));
}

void TransmitEngine::TransmitTick()
{
    if (!views_)
        return;
    if (state_.TimeoutCounter > 0)
        state_.TimeoutCounter += 10;
    views_->UpdateStatusBar();

    if (state_.TimeoutCounter > TimeoutLimit) {
        state_.TimeoutCounter = 0;
        state_.TxQueue.Clear();
        state_.RxBuffer.clear();
        if (portState_->HVXPortFound && !state_.SuppressTimeoutMessage) {
            dialogs_->MsgBox(QStringLiteral("T I M E O U T  !\r\n") + Tr(QT_TRANSLATE_NOOP("TransmitEngine", "interface or device not reacting!")),
                             MsgButtons::Ok, MsgIcon::Critical, Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Error")));
        }
        // The batch is finished on the next tick, without sending.
        return;
    }

    if (!state_.TransferActive || state_.TimeoutCounter != 0)
        return;

    if (progress_.blnInitProgressBar) {
        progress_.intProgDiv1 = static_cast<qint32>(state_.TxQueue.Length());
        progress_.blnInitProgressBar = false;
    }
    UpdateProgressBars();

    state_.TxCurrent = state_.TxQueue.Front();
    views_->SetDebugText(QStringLiteral("TxSend: ") + QString::fromLatin1(state_.TxCurrent));
    if (state_.TxQueue.IsEmpty()) {
        // The tick after a time-out: the queue was dropped, finish the batch without sending.
        EndOfQueue();
        return;
    }
    port_->SendText(EncodeFrame(state_.TxCurrent));
    state_.TimeoutCounter = 1;
    state_.RxBuffer.clear();
    views_->AddContactDump(state_.TxCurrent, QStringLiteral("Transmit"));
    if (state_.TxQueue.Length() > PacketSize) {
        state_.TxQueue.DropFront();
        progress_.SendLength += 4;
        return;
    }
    EndOfQueue();
}

void TransmitEngine::UpdateProgressBars()
{
    if (progress_.intProgDiv1 > 0) {
        const double p = 100.0 - 100.0 * static_cast<double>(state_.TxQueue.Length()) / progress_.intProgDiv1;
        window_.ProgressBar1 = p < 0 ? 100 : static_cast<int>(std::lround(p));
    }
    int& max = window_.ProgressBar2Max;
    if (progress_.TotalSendLength != 0 && progress_.writeconfigsonly) {
        if (max < 0 || max < state_.PacketCounter)
            ++max;
        window_.ProgressBar2 = max - state_.PacketCounter <= 7 ? max : state_.PacketCounter;
        ++state_.PacketCounter;
    } else if (progress_.TotalSendLength != 0) {
        if (max < state_.PacketCounter)
            ++max;
        window_.ProgressBar2 = state_.PacketCounter;
        ++state_.PacketCounter;
    } else if (!progress_.writeconfigs) {
        max = 100;
        window_.ProgressBar2 = window_.ProgressBar1;
    }
    views_->TransferWindowChanged();
}

void TransmitEngine::EndOfQueue()
{
    if (!reset_.check01) {
        state_.ResetPending = true;
        reset_.consoleHintVisible = false;
    } else {
        reset_.consoleHintVisible = true;
    }
    if (!reset_.DisAutoRes)
        state_.ResetPending = true;
    state_.TransferActive = false;
    state_.TxQueue.Clear();
    views_->UpdateStatusBar();
    window_.lblText2.clear();
    window_.lblText = Tr(QT_TRANSLATE_NOOP("TransmitEngine", "data transfer...ready"));
    window_.ProgressBar1 = 100;
    if (progress_.AllSent)
        window_.ProgressBar2 = window_.ProgressBar2Max;
    views_->TransferWindowChanged();
    port_->WaitSeconds(1);
    window_.visible = false;
    views_->TransferWindowChanged();
}

void TransmitEngine::ReceiveData(QByteArrayView text)
{
    if (!views_)
        return;
    state_.RxBuffer.append(text);
    const qsizetype at = state_.RxBuffer.indexOf('@');
    if (at > 0)
        state_.RxBuffer.remove(0, at);
    if (state_.RxBuffer.size() != FrameSize || state_.RxBuffer.at(0) != '@') {
        // Without a start of frame nothing can become a frame; drop the noise so the
        // buffer never grows without bound.
        if (at < 0)
            state_.RxBuffer.clear();
        return;
    }
    const QByteArray packet = DecodeFrame(state_.RxBuffer);
    if (PacketType(packet) == DownloadResponse) {
        if (onDownloadResponse_)
            onDownloadResponse_(packet);
        views_->RefreshAfterDownload();
    }
    if (AuthLevel() >= 50)
        views_->AddContactDump(packet, QStringLiteral("Receive"));
    state_.TimeoutCounter = 0;
    state_.RxBuffer.clear();
    if (state_.ResetPending) {
        state_.ResetPending = false;
        port_->ResetDevice();
    }
}

void TransmitEngine::OnComm(SerialLine::Event event)
{
    if (!port_)
        return;
    const QString title = QStringLiteral("Tunekit");
    switch (event) {
    case SerialLine::Event::DataReceived: {
        const QByteArray text = port_->Line().ReadAll();
        if (AuthLevel() >= 50)
            views_->AddToTerminal(text);
        ReceiveData(text);
        break;
    }
    case SerialLine::Event::ReceiveOverrun:
        dialogs_->MsgBox(Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Data Loss (CommEvent comRxOver) !")), MsgButtons::Ok, MsgIcon::None, title);
        break;
    case SerialLine::Event::TransmitFull:
        dialogs_->MsgBox(Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Hardware Error: Check serial interface! (comEventTxFull)")), MsgButtons::Ok,
                         MsgIcon::None, title);
        break;
    case SerialLine::Event::PortLost:
        port_->PortLost();
        views_->UpdateStatusBar();
        dialogs_->MsgBox(Tr(QT_TRANSLATE_NOOP("TransmitEngine", "The connection to the programming adapter was lost."))
                             + QStringLiteral("\r\n")
                             + Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Check the cable, then choose Interface > Detect.")),
                         MsgButtons::Ok, MsgIcon::Critical, Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Error")));
        break;
    case SerialLine::Event::HardwareOverrun:
        break;
    }
}

void TransmitEngine::AbortTransfer()
{
    state_.TransferActive = false;
    state_.TxQueue.Clear();
}

void TransmitEngine::WaitForTransfer()
{
    while (state_.TransferActive && port_)
        port_->Time().ProcessEvents();
}

} // namespace tunekit
