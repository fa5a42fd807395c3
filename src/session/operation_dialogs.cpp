#include "session/operation_dialogs.h"

namespace tunekit {

QCoro::Task<MsgAnswer> OperationDialogs::ask(Question question, QString text, MsgButtons buttons, MsgIcon icon,
                                             QString title)
{
    co_return co_await scope_.race(dialogs_.ask(question, std::move(text), buttons, icon, std::move(title)));
}

QCoro::Task<QString> OperationDialogs::openFileName(QString filter)
{
    co_return co_await scope_.race(dialogs_.openFileName(std::move(filter)));
}

QCoro::Task<QString> OperationDialogs::saveFileName(QString filter, QString proposedName)
{
    co_return co_await scope_.race(dialogs_.saveFileName(std::move(filter), std::move(proposedName)));
}

} // namespace tunekit
