#pragma once

#include <stdexcept>
#include <string>

namespace qen::render
{

/** A problem with the user's input or output, reported as one line. */
class RenderError : public std::runtime_error
{
public:
    explicit RenderError (const std::string& message)
        : std::runtime_error (message)
    {
    }
};

} // namespace qen::render
