#ifndef ROUTES_H
#define ROUTES_H

#include "catalogue.h"

#include <httplib.h>

class FaultControl;
class FixtureData;
class RequestRecorder;
struct Fault;
struct ParsedRequest;

// Binds the service to the HTTP server: the control calls, the API, the
// downloads and the web pages. Every request outside /__control/ is
// recorded first, then delayed or spoilt by the fault set for its path.
class Routes
{
public:
    Routes(FixtureData &data, RequestRecorder &recorder, FaultControl &faults);

    void install(httplib::Server &server);

private:
    void handle(const httplib::Request &request, httplib::Response &response, ParsedRequest &parsed);
    void handleControl(const ParsedRequest &parsed, httplib::Response &response);
    Answer produce(const ParsedRequest &parsed);
    Answer download(const ParsedRequest &parsed);
    Answer webPage(const ParsedRequest &parsed);
    void write(const httplib::Request &request, const Answer &answer, httplib::Response &response);
    void writeSpoilt(const Fault &fault, const Answer &answer, httplib::Response &response);

    FixtureData &m_data;
    RequestRecorder &m_recorder;
    FaultControl &m_faults;
    Catalogue m_catalogue;
};

#endif // ROUTES_H
