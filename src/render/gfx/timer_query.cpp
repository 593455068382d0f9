#include "render/gfx/timer_query.h"

#include "render/gfx/gl.h"

namespace quixo::gfx {

bool CreateTimerQuery(Device& device, std::uint32_t& query) {
    BeginCreation(device);
    GLuint name = 0;
    glCreateQueries(GL_TIME_ELAPSED, 1, &name);
    query = 0;
    if (!EndCreation(device, ObjectKind::Query, name, [] { return "timer query"; })) return false;
    query = name;
    return true;
}

void ReleaseTimerQuery(Device& device, std::uint32_t& query) {
    DeleteObject(device, ObjectKind::Query, query);
}

void BeginTimer(std::uint32_t query) {
    if (query != 0) glBeginQuery(GL_TIME_ELAPSED, query);
}

void EndTimer(std::uint32_t query) {
    if (query != 0) glEndQuery(GL_TIME_ELAPSED);
}

bool TimerResult(std::uint32_t query, std::uint64_t& nanoseconds) {
    if (query == 0) return false;
    GLint available = 0;
    glGetQueryObjectiv(query, GL_QUERY_RESULT_AVAILABLE, &available);
    if (!available) return false;
    GLuint64 value = 0;
    glGetQueryObjectui64v(query, GL_QUERY_RESULT, &value);
    nanoseconds = value;
    return true;
}

}  // namespace quixo::gfx
