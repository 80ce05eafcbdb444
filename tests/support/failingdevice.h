#pragma once

#include <QIODevice>

namespace vordane::test {

// A write-only device that takes `capacity` bytes and then fails every
// write, as a full disk or a closed pipe does.
class FailingDevice final : public QIODevice {
public:
    explicit FailingDevice(qint64 capacity)
        : capacity_(capacity)
    {
        open(QIODevice::WriteOnly);
    }

    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (written.size() + size > capacity_) {
            setErrorString(QStringLiteral("No queda espacio en el dispositivo"));
            return -1;
        }
        written.append(data, size);
        return size;
    }

private:
    qint64 capacity_;
};

} // namespace vordane::test
