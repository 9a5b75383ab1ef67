#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kirvan::testing {

// A mosquitto broker of the test's own on a free loopback port, with its configuration and its
// persistence in a temporary folder; stopped and removed with the object.
class PrivateBroker {
public:
    struct Options {
        // User name and password the broker accepts; anonymous clients are refused then.
        QString user;
        QString password;
        // TLS: the test's own certificate authority and a certificate of "localhost" it signed.
        bool tls = false;
    };

    explicit PrivateBroker(Options options);
    PrivateBroker() : PrivateBroker(Options{}) {}
    ~PrivateBroker();
    PrivateBroker(const PrivateBroker&) = delete;
    PrivateBroker& operator=(const PrivateBroker&) = delete;

    static bool available(); // mosquitto, mosquitto_passwd and openssl are installed

    // Starts the broker and waits until it takes connections; false when it did not come up.
    bool start();
    // Stops it as its service would (SIGTERM: the sessions are saved).
    void stop();

    QString server() const { return QStringLiteral("localhost:%1").arg(port_); }
    QString caFile() const { return folder_.filePath(QStringLiteral("ca.crt")); }

private:
    bool run(const QString& program, const QStringList& arguments) const;
    bool makeCertificates() const;

    Options options_;
    QTemporaryDir folder_;
    int port_ = 0;
    QProcess process_;
};

} // namespace kirvan::testing
