#include "render/gfx/shader.h"

#include "render/gfx/gl.h"

namespace quixo::gfx {

namespace {

std::string ProgramLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) glGetProgramInfoLog(program, length, nullptr, log.data());
    return log;
}

std::string ShaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) glGetShaderInfoLog(shader, length, nullptr, log.data());
    return log;
}

// A separable program of one stage, so that vertex and pixel shaders combine freely in the
// context's program pipeline.
GLuint BuildProgram(Device& device, GLenum type, const CompiledShader& compiled,
                    std::string& error) {
    BeginCreation(device);
    const GLuint shader = glCreateShader(type);
    const char* text = compiled.glsl.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        error = compiled.entry + ": GLSL compile failed: " + ShaderLog(shader);
        glDeleteShader(shader);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glProgramParameteri(program, GL_PROGRAM_SEPARABLE, GL_TRUE);
    glAttachShader(program, shader);
    glLinkProgram(program);
    glDetachShader(program, shader);
    glDeleteShader(shader);
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        error = compiled.entry + ": GLSL link failed: " + ProgramLog(program);
        glDeleteProgram(program);
        return 0;
    }
    GLuint made = program;
    if (!EndCreation(device, ObjectKind::Program, made,
                     [&] { return compiled.entry + ": program"; })) {
        error = device.lastError;
    }
    return made;
}

const InputElementDesc* FindElement(const InputElementDesc* elements, std::uint32_t count,
                                    const ShaderInput& input) {
    for (std::uint32_t e = 0; e < count; ++e) {
        if (CanonicalSemantic(elements[e].semanticName, elements[e].semanticIndex) ==
            input.semantic) {
            return &elements[e];
        }
    }
    return nullptr;
}

// Pixel shaders read their constant buffers from a second set of uniform block bindings, so
// that the vertex and pixel stages keep separate slots as in Direct3D.
void MovePixelBlocks(GLuint program) {
    GLint blocks = 0;
    glGetProgramInterfaceiv(program, GL_UNIFORM_BLOCK, GL_ACTIVE_RESOURCES, &blocks);
    for (GLint b = 0; b < blocks; ++b) {
        const GLenum property = GL_BUFFER_BINDING;
        GLint binding = 0;
        glGetProgramResourceiv(program, GL_UNIFORM_BLOCK, static_cast<GLuint>(b), 1, &property, 1,
                               nullptr, &binding);
        glUniformBlockBinding(program, static_cast<GLuint>(b),
                              static_cast<GLuint>(binding) + kPixelConstantBase);
    }
}

}  // namespace

bool CreateVertexShader(Device& device, const CompiledShader& compiled, VertexShader& shader,
                        std::string& error) {
    shader = VertexShader{};
    shader.program = BuildProgram(device, GL_VERTEX_SHADER, compiled, error);
    shader.inputs = compiled.inputs;
    return shader.program != 0;
}

bool CreatePixelShader(Device& device, const CompiledShader& compiled, PixelShader& shader,
                       std::string& error) {
    shader = PixelShader{};
    shader.program = BuildProgram(device, GL_FRAGMENT_SHADER, compiled, error);
    if (shader.program == 0) return false;
    MovePixelBlocks(shader.program);
    shader.alphaTestLocation = glGetUniformLocation(shader.program, kAlphaTestUniform);
    shader.alphaTestValue = 0;
    return true;
}

bool CreateInputLayout(Device& device, const InputElementDesc* elements, std::uint32_t count,
                       const VertexShader& shader, InputLayout& layout, std::string& error) {
    layout = InputLayout{};
    // Every input must find an element of a format it can read before GL is asked for
    // anything.
    for (const ShaderInput& input : shader.inputs) {
        const InputElementDesc* match = FindElement(elements, count, input);
        if (match == nullptr) {
            error = "input layout lacks the shader input '" + input.semantic + "'";
            return false;
        }
        if (match->format != Format::R8G8B8A8_UNORM &&
            match->format != Format::R32G32B32A32_FLOAT) {
            error = "input layout: unsupported format for '" + input.semantic + "'";
            return false;
        }
    }
    BeginCreation(device);
    glCreateVertexArrays(1, &layout.vertexArray);
    for (const ShaderInput& input : shader.inputs) {
        const InputElementDesc* match = FindElement(elements, count, input);
        const GLuint location = input.location;
        glEnableVertexArrayAttrib(layout.vertexArray, location);
        if (match->format == Format::R8G8B8A8_UNORM) {
            glVertexArrayAttribFormat(layout.vertexArray, location, 4, GL_UNSIGNED_BYTE, GL_TRUE,
                                      match->alignedByteOffset);
        } else {
            glVertexArrayAttribFormat(layout.vertexArray, location, 4, GL_FLOAT, GL_FALSE,
                                      match->alignedByteOffset);
        }
        glVertexArrayAttribBinding(layout.vertexArray, location, match->inputSlot);
    }
    if (!EndCreation(device, ObjectKind::VertexArray, layout.vertexArray,
                     [] { return "vertex array of an input layout"; })) {
        error = device.lastError;
        return false;
    }
    return true;
}

void ReleaseVertexShader(Device& device, VertexShader& shader) {
    DeleteObject(device, ObjectKind::Program, shader.program);
    shader = VertexShader{};
}

void ReleasePixelShader(Device& device, PixelShader& shader) {
    DeleteObject(device, ObjectKind::Program, shader.program);
    shader = PixelShader{};
}

void ReleaseInputLayout(Device& device, InputLayout& layout) {
    DeleteObject(device, ObjectKind::VertexArray, layout.vertexArray);
}

}  // namespace quixo::gfx
