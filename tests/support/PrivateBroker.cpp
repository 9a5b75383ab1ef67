#include "tests/support/PrivateBroker.h"

#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kirvan::testing {

namespace {

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    return address;
}

// A port nobody listens on now: the one the system gives a socket bound to port 0.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

QString program(const QString& name)
{
    return QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
}

} // namespace

PrivateBroker::PrivateBroker(Options options) : options_(std::move(options)), port_(freePort())
{
    QStringList config{QStringLiteral("listener %1 127.0.0.1").arg(port_), QStringLiteral("persistence true"),
                       QStringLiteral("persistence_location %1/").arg(folder_.path()), QStringLiteral("log_dest none"),
                       // As root it would become the user mosquitto, who cannot read the folder.
                       QStringLiteral("user root")};
    if (options_.user.isEmpty()) {
        config << QStringLiteral("allow_anonymous true");
    } else {
        const QString passwords = folder_.filePath(QStringLiteral("passwords"));
        run(program(QStringLiteral("mosquitto_passwd")),
            {QStringLiteral("-c"), QStringLiteral("-b"), passwords, options_.user, options_.password});
        config << QStringLiteral("allow_anonymous false") << QStringLiteral("password_file %1").arg(passwords);
    }
    if (options_.tls && makeCertificates())
        config << QStringLiteral("cafile %1").arg(caFile())
               << QStringLiteral("certfile %1").arg(folder_.filePath(QStringLiteral("server.crt")))
               << QStringLiteral("keyfile %1").arg(folder_.filePath(QStringLiteral("server.key")));
    QFile file(folder_.filePath(QStringLiteral("mosquitto.conf")));
    if (file.open(QIODevice::WriteOnly))
        file.write((config.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

PrivateBroker::~PrivateBroker()
{
    process_.kill();
    process_.waitForFinished(5000);
}

bool PrivateBroker::available()
{
    return !program(QStringLiteral("mosquitto")).isEmpty() && !program(QStringLiteral("mosquitto_passwd")).isEmpty()
           && !program(QStringLiteral("openssl")).isEmpty();
}

bool PrivateBroker::start()
{
    process_.setStandardOutputFile(folder_.filePath(QStringLiteral("broker.log")));
    process_.setStandardErrorFile(folder_.filePath(QStringLiteral("broker.log")), QIODevice::Append);
    process_.start(program(QStringLiteral("mosquitto")),
                   {QStringLiteral("-c"), folder_.filePath(QStringLiteral("mosquitto.conf"))});
    if (!process_.waitForStarted(5000))
        return false;
    for (int i = 0; i < 250; ++i) {
        if (accepts(port_))
            return true;
        if (process_.waitForFinished(20))
            return false;
    }
    return false;
}

void PrivateBroker::stop()
{
    process_.terminate();
    if (!process_.waitForFinished(5000))
        process_.kill();
}

bool PrivateBroker::run(const QString& name, const QStringList& arguments) const
{
    QProcess process;
    process.setWorkingDirectory(folder_.path());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(name, arguments);
    return process.waitForFinished(30'000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PrivateBroker::makeCertificates() const
{
    const QString openssl = program(QStringLiteral("openssl"));
    const QString curve = QStringLiteral("ec:") + folder_.filePath(QStringLiteral("curve.pem"));
    QFile extensions(folder_.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly))
        return false;
    extensions.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n");
    extensions.close();
    const auto words = [](const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); };
    return run(openssl, words("ecparam -name prime256v1 -out curve.pem"))
           && run(openssl, words("req -x509 -nodes -days 2 -subj /CN=KirvanTestCA -keyout ca.key -out ca.crt -newkey")
                               << curve)
           && run(openssl, words("req -nodes -subj /CN=localhost -keyout server.key -out server.csr -newkey") << curve)
           && run(openssl, words("x509 -req -days 2 -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial "
                                 "-out server.crt -extfile server.ext"));
}

} // namespace kirvan::testing
