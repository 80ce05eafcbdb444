#include "fakeplatformservices.h"

#include <QDialog>

namespace vordane::test {

QString FakePlatformServices::answer(Kind kind, const FileDialogRequest &request)
{
    if (duringDialog)
        duringDialog();
    const QString path = answers_.isEmpty() ? QString() : answers_.dequeue();
    calls.append({kind, request.title, request.filter, path, request.namedFile, request.proposedFile});
    return path;
}

QString FakePlatformServices::getOpenFileName(QWidget *, const FileDialogRequest &request)
{
    return answer(Kind::Open, request);
}

QString FakePlatformServices::getSaveFileName(QWidget *, const FileDialogRequest &request)
{
    return answer(Kind::Save, request);
}

void FakePlatformServices::information(QWidget *, const QString &title, const QString &text)
{
    calls.append({Kind::Information, title, QString(), text});
}

void FakePlatformServices::warning(QWidget *, const QString &title, const QString &text)
{
    calls.append({Kind::Warning, title, QString(), text});
}

void FakePlatformServices::setClipboardText(const QString &text)
{
    clipboard = text;
    calls.append({Kind::Clipboard, QString(), QString(), text});
}

void FakePlatformServices::showModal(QDialog *dialog)
{
    calls.append({Kind::Modal, dialog->windowTitle(), QString(), dialog->objectName()});
    dialog->setModal(true);
    dialog->show();
}

SaveChoice FakePlatformServices::askToSave(QWidget *, const QString &title, const QString &text)
{
    calls.append({Kind::AskToSave, title, QString(), text});
    return saveAnswers_.isEmpty() ? SaveChoice::Cancel : saveAnswers_.dequeue();
}

ListChoice FakePlatformServices::askReplaceOrAppend(QWidget *, const QString &title, const QString &text)
{
    calls.append({Kind::AskReplace, title, QString(), text});
    return listAnswers_.isEmpty() ? ListChoice::Cancel : listAnswers_.dequeue();
}

int FakePlatformServices::count(Kind kind) const
{
    return int(std::count_if(calls.begin(), calls.end(), [kind](const Call &c) { return c.kind == kind; }));
}

const FakePlatformServices::Call *FakePlatformServices::last(Kind kind) const
{
    for (auto it = calls.crbegin(); it != calls.crend(); ++it) {
        if (it->kind == kind)
            return &*it;
    }
    return nullptr;
}

} // namespace vordane::test
