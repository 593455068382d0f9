#include "render/gfx/context.h"

#include "render/gfx/gl.h"

namespace quixo::gfx {

namespace {

GLenum GlTopology(PrimitiveTopology topology) {
    switch (topology) {
        case PrimitiveTopology::PointList:
            return GL_POINTS;
        case PrimitiveTopology::LineList:
            return GL_LINES;
        case PrimitiveTopology::LineStrip:
            return GL_LINE_STRIP;
        case PrimitiveTopology::TriangleStrip:
            return GL_TRIANGLE_STRIP;
        default:
            return GL_TRIANGLES;
    }
}

bool Overlaps(const ShaderResourceView& input, std::uint32_t resource, std::uint32_t mip) {
    return input.resource == resource && mip >= input.firstMip &&
           mip < input.firstMip + input.mipCount;
}

bool BoundForOutput(const DeviceContext& context, const ShaderResourceView& view) {
    if (context.renderTarget &&
        Overlaps(view, context.renderTarget->resource, context.renderTarget->mip)) {
        return true;
    }
    return context.depthStencil && Overlaps(view, context.depthStencil->resource, 0);
}

// True when the cache may answer: filtering is on and the state is known to match.
bool AlreadyBound(const DeviceContext& context, bool known, bool same) {
    return context.skipRedundantState && known && same;
}

void BindResource(DeviceContext& context, std::uint32_t slot, const ShaderResourceView* view) {
    context.psResources[slot] = view;
    const GLuint name = view ? view->name : 0;
    BoundState& b = context.bound;
    if (AlreadyBound(context, (b.texturesKnown >> slot) & 1u, b.textures[slot] == name)) return;
    glBindTextureUnit(slot, name);
    b.textures[slot] = name;
    b.texturesKnown |= 1u << slot;
}

void BindUniformRange(DeviceContext& context, GLuint binding, const Buffer* buffer,
                      std::uint32_t offset, std::uint32_t size) {
    const GLuint name = buffer ? buffer->name : 0;
    BoundState::Range& r = context.bound.constants[binding];
    const bool known = (context.bound.constantsKnown >> binding) & 1u;
    if (AlreadyBound(context, known, r.name == name && r.offset == offset && r.size == size))
        return;
    if (size == 0 || name == 0) {
        glBindBufferBase(GL_UNIFORM_BUFFER, binding, name);
    } else {
        glBindBufferRange(GL_UNIFORM_BUFFER, binding, name, offset, size);
    }
    r = {name, offset, size};
    context.bound.constantsKnown |= 1u << binding;
}

void UseProgramStage(DeviceContext& context, GLbitfield stage, std::uint32_t program,
                     std::uint32_t& boundProgram, bool& known) {
    if (AlreadyBound(context, known, boundProgram == program)) return;
    glUseProgramStages(context.pipeline, stage, program);
    boundProgram = program;
    known = true;
}

// The vertex array for the draw with the current buffers; only what changed is set.
void BindVertexArray(DeviceContext& context, bool indexed) {
    BoundState& b = context.bound;
    GLuint vertexArray = context.emptyVertexArray;
    const bool withBuffer = context.vertexBuffer && context.inputLayout;
    if (withBuffer) vertexArray = context.inputLayout->vertexArray;
    if (!AlreadyBound(context, b.vertexArrayKnown, b.vertexArray == vertexArray)) {
        glBindVertexArray(vertexArray);
        b.vertexArray = vertexArray;
        b.vertexArrayKnown = true;
        b.vertexBufferKnown = b.elementBufferKnown = false;
    }
    if (withBuffer) {
        const GLuint name = context.vertexBuffer->name;
        if (!AlreadyBound(context, b.vertexBufferKnown,
                          b.vertexBuffer == name && b.vertexOffset == context.vertexOffset &&
                              b.vertexStride == context.vertexStride)) {
            glVertexArrayVertexBuffer(vertexArray, 0, name, context.vertexOffset,
                                      static_cast<GLsizei>(context.vertexStride));
            b.vertexBuffer = name;
            b.vertexOffset = context.vertexOffset;
            b.vertexStride = context.vertexStride;
            b.vertexBufferKnown = true;
        }
    }
    const GLuint elements = indexed ? context.indexBuffer->name : 0;
    if (!AlreadyBound(context, b.elementBufferKnown, b.elementBuffer == elements)) {
        glVertexArrayElementBuffer(vertexArray, elements);
        b.elementBuffer = elements;
        b.elementBufferKnown = true;
    }
}

// Everything a draw needs that depends on more than one binding: the vertex array with the
// current buffers, and the pixel shader's alpha-to-coverage switch.
bool PrepareDraw(DeviceContext& context, bool indexed) {
    if (!context.vertexShader || (!context.renderTarget && !context.depthStencil)) return false;
    if (indexed && !context.indexBuffer) return false;
    BindVertexArray(context, indexed);
    const PixelShader* ps = context.pixelShader;
    if (ps && ps->alphaTestLocation >= 0) {
        const int want = context.blend && context.blend->desc.alphaToCoverageEnable ? 1 : 0;
        if (ps->alphaTestValue != want) {
            glProgramUniform1i(ps->program, ps->alphaTestLocation, want);
            ps->alphaTestValue = want;
        }
    }
    ++context.drawCount;
    return true;
}

}  // namespace

bool CreateDeviceContext(Device& device, DeviceContext& context) {
    context = DeviceContext{};
    context.device = &device;
    BeginCreation(device);
    glCreateProgramPipelines(1, &context.pipeline);
    if (!EndCreation(device, ObjectKind::ProgramPipeline, context.pipeline,
                     [] { return "program pipeline of the device context"; })) {
        return false;
    }
    glBindProgramPipeline(context.pipeline);
    for (GLuint* framebuffer : {&context.framebuffer, &context.clearFramebuffer}) {
        BeginCreation(device);
        glCreateFramebuffers(1, framebuffer);
        if (!EndCreation(device, ObjectKind::Framebuffer, *framebuffer,
                         [] { return "framebuffer of the device context"; })) {
            ReleaseDeviceContext(context);
            return false;
        }
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, context.framebuffer);
    BeginCreation(device);
    glCreateVertexArrays(1, &context.emptyVertexArray);
    if (!EndCreation(device, ObjectKind::VertexArray, context.emptyVertexArray,
                     [] { return "empty vertex array of the device context"; })) {
        ReleaseDeviceContext(context);
        return false;
    }
    glBindVertexArray(context.emptyVertexArray);
    ApplyRasterizerState(nullptr);
    ApplyDepthStencilState(nullptr, 0);
    ApplyBlendState(nullptr, nullptr);
    return true;
}

void ClearState(DeviceContext& context) {
    if (context.device == nullptr) return;
    Device* device = context.device;
    const GLuint pipeline = context.pipeline, framebuffer = context.framebuffer,
                 clearFramebuffer = context.clearFramebuffer,
                 emptyVertexArray = context.emptyVertexArray;
    const std::uint64_t drawCount = context.drawCount;
    const bool skip = context.skipRedundantState;
    // GL lets go of what was bound as well: every unit, binding point and attachment empty.
    for (std::uint32_t slot = 0; slot < kResourceSlots; ++slot) glBindTextureUnit(slot, 0);
    for (GLuint binding = 0; binding < 2 * kConstantSlots; ++binding)
        glBindBufferBase(GL_UNIFORM_BUFFER, binding, 0);
    for (std::uint32_t slot = 0; slot < kResourceSlots; ++slot) glBindSampler(slot, 0);
    if (framebuffer != 0) {
        glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, 0, 0);
        glNamedFramebufferTexture(framebuffer, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
    }
    if (clearFramebuffer != 0)
        glNamedFramebufferTexture(clearFramebuffer, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
    if (pipeline != 0) {
        glUseProgramStages(pipeline, GL_VERTEX_SHADER_BIT | GL_FRAGMENT_SHADER_BIT, 0);
    }
    glBindVertexArray(emptyVertexArray);
    context = DeviceContext{};
    context.device = device;
    context.pipeline = pipeline;
    context.framebuffer = framebuffer;
    context.clearFramebuffer = clearFramebuffer;
    context.emptyVertexArray = emptyVertexArray;
    context.drawCount = drawCount;
    context.skipRedundantState = skip;
    ApplyRasterizerState(nullptr);
    ApplyDepthStencilState(nullptr, 0);
    ApplyBlendState(nullptr, nullptr);
}

void ReleaseDeviceContext(DeviceContext& context) {
    if (context.device == nullptr) return;
    ClearState(context);
    Device& device = *context.device;
    glBindVertexArray(0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindProgramPipeline(0);
    DeleteObject(device, ObjectKind::VertexArray, context.emptyVertexArray);
    DeleteObject(device, ObjectKind::Framebuffer, context.framebuffer);
    DeleteObject(device, ObjectKind::Framebuffer, context.clearFramebuffer);
    DeleteObject(device, ObjectKind::ProgramPipeline, context.pipeline);
    context = DeviceContext{};
}

void ForgetBoundState(DeviceContext& context) {
    context.bound = BoundState{};
}

void OMSetRenderTargets(DeviceContext& context, const RenderTargetView* target,
                        const DepthStencilView* depthStencil) {
    context.renderTarget = target;
    context.depthStencil = depthStencil;
    glNamedFramebufferTexture(context.framebuffer, GL_COLOR_ATTACHMENT0,
                              target ? target->resource : 0,
                              target ? static_cast<GLint>(target->mip) : 0);
    glNamedFramebufferTexture(context.framebuffer, GL_DEPTH_STENCIL_ATTACHMENT,
                              depthStencil ? depthStencil->resource : 0, 0);
    glNamedFramebufferDrawBuffer(context.framebuffer, target ? GL_COLOR_ATTACHMENT0 : GL_NONE);
    for (std::uint32_t slot = 0; slot < kResourceSlots; ++slot) {
        const ShaderResourceView* view = context.psResources[slot];
        if (view && BoundForOutput(context, *view)) BindResource(context, slot, nullptr);
    }
}

void OMSetBlendState(DeviceContext& context, const BlendState* state, const float blendFactor[4]) {
    context.blend = state;
    static const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const BlendDesc desc = state ? state->desc : BlendDesc{};
    const float* factor = blendFactor ? blendFactor : kWhite;
    BoundState& b = context.bound;
    const bool same = b.blend == desc && b.blendFactor[0] == factor[0] &&
                      b.blendFactor[1] == factor[1] && b.blendFactor[2] == factor[2] &&
                      b.blendFactor[3] == factor[3];
    if (AlreadyBound(context, b.blendKnown, same)) return;
    ApplyBlendState(state, blendFactor);
    b.blend = desc;
    for (int i = 0; i < 4; ++i) b.blendFactor[i] = factor[i];
    b.blendKnown = true;
}

void OMSetDepthStencilState(DeviceContext& context, const DepthStencilState* state,
                            std::uint32_t stencilRef) {
    context.depthState = state;
    context.stencilRef = stencilRef;
    const DepthStencilDesc desc = state ? state->desc : DepthStencilDesc{};
    BoundState& b = context.bound;
    if (AlreadyBound(context, b.depthKnown, b.depth == desc && b.stencilRef == stencilRef)) return;
    ApplyDepthStencilState(state, stencilRef);
    b.depth = desc;
    b.stencilRef = stencilRef;
    b.depthKnown = true;
}

void RSSetState(DeviceContext& context, const RasterizerState* state) {
    context.rasterizer = state;
    ApplyRasterizerState(state);
}

void RSSetViewports(DeviceContext& context, const Viewport& viewport) {
    context.viewport = viewport;
    // The upper-left clip origin makes GL's window y count rows from the first, as Direct3D's.
    glViewportIndexedf(0, viewport.topLeftX, viewport.topLeftY, viewport.width, viewport.height);
    glDepthRangeIndexed(0, viewport.minDepth, viewport.maxDepth);
}

void RSSetScissorRects(DeviceContext& context, const Rect& rect) {
    (void)context;
    glScissorIndexed(0, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void IASetInputLayout(DeviceContext& context, const InputLayout* layout) {
    context.inputLayout = layout;
}

void IASetVertexBuffers(DeviceContext& context, const Buffer* buffer, std::uint32_t stride,
                        std::uint32_t offset) {
    context.vertexBuffer = buffer;
    context.vertexStride = stride;
    context.vertexOffset = offset;
}

void IASetIndexBuffer(DeviceContext& context, const Buffer* buffer, std::uint32_t offset) {
    context.indexBuffer = buffer;
    context.indexOffset = offset;
}

void IASetPrimitiveTopology(DeviceContext& context, PrimitiveTopology topology) {
    context.topology = topology;
}

void VSSetShader(DeviceContext& context, const VertexShader* shader) {
    context.vertexShader = shader;
    UseProgramStage(context, GL_VERTEX_SHADER_BIT, shader ? shader->program : 0,
                    context.bound.vertexProgram, context.bound.vertexProgramKnown);
}

void PSSetShader(DeviceContext& context, const PixelShader* shader) {
    context.pixelShader = shader;
    UseProgramStage(context, GL_FRAGMENT_SHADER_BIT, shader ? shader->program : 0,
                    context.bound.pixelProgram, context.bound.pixelProgramKnown);
}

void VSSetConstantBuffers(DeviceContext& context, std::uint32_t slot, const Buffer* buffer) {
    if (slot >= kConstantSlots) return;
    context.vsConstants[slot] = buffer;
    BindUniformRange(context, slot, buffer, 0, 0);
}

void PSSetConstantBuffers(DeviceContext& context, std::uint32_t slot, const Buffer* buffer) {
    if (slot >= kConstantSlots) return;
    context.psConstants[slot] = buffer;
    BindUniformRange(context, kPixelConstantBase + slot, buffer, 0, 0);
}

void SetConstantBufferRange(DeviceContext& context, std::uint32_t slot, const Buffer* buffer,
                            std::uint32_t offset, std::uint32_t size) {
    if (slot >= kConstantSlots) return;
    context.vsConstants[slot] = buffer;
    context.psConstants[slot] = buffer;
    BindUniformRange(context, slot, buffer, offset, size);
    BindUniformRange(context, kPixelConstantBase + slot, buffer, offset, size);
}

void PSSetShaderResources(DeviceContext& context, std::uint32_t slot,
                          const ShaderResourceView* view) {
    if (slot >= kResourceSlots) return;
    // The runtime refuses an input that is bound for output and binds nothing instead.
    if (view && BoundForOutput(context, *view)) view = nullptr;
    BindResource(context, slot, view);
}

void PSSetSamplers(DeviceContext& context, const SamplerState* sampler) {
    context.sampler = sampler;
    for (GLuint unit = 0; unit < kResourceSlots; ++unit) {
        glBindSampler(unit, sampler ? sampler->name : 0);
    }
}

void Draw(DeviceContext& context, std::uint32_t vertexCount, std::uint32_t startVertex) {
    if (!PrepareDraw(context, false)) return;
    glDrawArrays(GlTopology(context.topology), static_cast<GLint>(startVertex),
                 static_cast<GLsizei>(vertexCount));
}

void DrawIndexed(DeviceContext& context, std::uint32_t indexCount, std::uint32_t startIndex,
                 std::int32_t baseVertex) {
    if (!PrepareDraw(context, true)) return;
    const std::uintptr_t offset = context.indexOffset + std::uintptr_t{startIndex} * 4;
    glDrawElementsBaseVertex(GlTopology(context.topology), static_cast<GLsizei>(indexCount),
                             GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset), baseVertex);
}

void DrawIndexedInstanced(DeviceContext& context, std::uint32_t indexCount,
                          std::uint32_t instanceCount, std::uint32_t startIndex,
                          std::int32_t baseVertex) {
    if (!PrepareDraw(context, true)) return;
    const std::uintptr_t offset = context.indexOffset + std::uintptr_t{startIndex} * 4;
    glDrawElementsInstancedBaseVertex(
        GlTopology(context.topology), static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT,
        reinterpret_cast<const void*>(offset), static_cast<GLsizei>(instanceCount), baseVertex);
}

void ClearRenderTargetView(DeviceContext& context, const RenderTargetView& view,
                           const float colour[4]) {
    (void)context;
    glClearTexSubImage(view.resource, static_cast<GLint>(view.mip), 0, 0, 0,
                       static_cast<GLsizei>(view.width), static_cast<GLsizei>(view.height), 1,
                       GL_RGBA, GL_FLOAT, colour);
}

void ClearDepthStencilView(DeviceContext& context, const DepthStencilView& view,
                           std::uint32_t flags, float depth, std::uint8_t stencil) {
    // Framebuffer clears obey the write masks and the scissor; open them for the clear and put
    // the bound states back afterwards.
    glNamedFramebufferTexture(context.clearFramebuffer, GL_DEPTH_STENCIL_ATTACHMENT, view.resource,
                              0);
    glNamedFramebufferDrawBuffer(context.clearFramebuffer, GL_NONE);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    const GLint s = stencil;
    if ((flags & ClearDepth) && (flags & ClearStencil)) {
        glClearNamedFramebufferfi(context.clearFramebuffer, GL_DEPTH_STENCIL, 0, depth, s);
    } else if (flags & ClearDepth) {
        glClearNamedFramebufferfv(context.clearFramebuffer, GL_DEPTH, 0, &depth);
    } else if (flags & ClearStencil) {
        glClearNamedFramebufferiv(context.clearFramebuffer, GL_STENCIL, 0, &s);
    }
    ApplyDepthStencilState(context.depthState, context.stencilRef);
    context.bound.depth = context.depthState ? context.depthState->desc : DepthStencilDesc{};
    context.bound.stencilRef = context.stencilRef;
    context.bound.depthKnown = true;
    if (context.rasterizer && context.rasterizer->desc.scissorEnable) glEnable(GL_SCISSOR_TEST);
}

void Flush(DeviceContext& context) {
    (void)context;
    glFlush();
}

void Finish(DeviceContext& context) {
    (void)context;
    glFinish();
}

}  // namespace quixo::gfx
