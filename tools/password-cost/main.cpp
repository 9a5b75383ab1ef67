// Measures the sign-in's password verification with the cost the workstation hashes with, and
// with the costs around it, so that the choice can be checked on the machine at hand:
//   password-cost [ROUNDS]
#include "access/PasswordHash.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace {

double medianSeconds(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int rounds = std::max(1, argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5);
    QTextStream out(stdout);
    const kirvan::HashCost chosen = kirvan::HashCost::signIn();
    const kirvan::HashCost costs[] = {{3, std::size_t(128) << 20}, chosen, {4, std::size_t(256) << 20}};
    for (const kirvan::HashCost& cost : costs) {
        const QByteArray hash = kirvan::hashPassword(QStringLiteral("пароль оператора"), cost);
        std::vector<double> samples;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            if (!kirvan::verifyPassword(hash, QStringLiteral("пароль оператора")))
                return 1;
            samples.push_back(double(timer.nsecsElapsed()) / 1e9);
        }
        out << "passes " << cost.passes << ", memory " << (cost.memoryBytes >> 20) << " MiB: median sign-in "
            << QString::number(medianSeconds(samples), 'f', 3) << " s over " << rounds << " rounds"
            << (cost.passes == chosen.passes && cost.memoryBytes == chosen.memoryBytes ? "  <- chosen" : "") << '\n';
    }
    return 0;
}
