// A process that publishes one sensor's status and a measurement, says so on stdout and then
// waits to be killed: the broker is to publish its will.
//   mqtt_publish_child PORT CLIENT_ID QOS
#include "mqtt/Publisher.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) return 2;
    mqtt::Options options;
    options.host = "127.0.0.1";
    options.port = std::atoi(argv[1]);
    options.clientId = argv[2];
    options.qos = std::atoi(argv[3]);
    mqtt::Publisher publisher(options);
    publisher.Status("line1", true, "CHROMIX3 V4.2");
    publisher.Measurement("line1", "{\"red\":1}");
    QTimer::singleShot(0, [&] {
        while (!publisher.Flush(1000) || !publisher.Connected()) {
        }
        std::printf("published\n");
        std::fflush(stdout);
    });
    return app.exec();
}
