#include "render/gfx/shader_compiler.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_cross_c.h>

#include <cctype>
#include <mutex>

namespace quixo::gfx {

namespace {

// Stage-to-stage semantics and their first location; the index adds to it.
struct VaryingRange {
    const char* name;
    int base;
    int count;
};
const VaryingRange kVaryings[] = {
    {"COLOR", 0, 4},    {"TEXCOORD", 4, 16}, {"NORMAL", 20, 2},      {"POSITION", 22, 2},
    {"TANGENT", 24, 2}, {"BINORMAL", 26, 2}, {"BLENDWEIGHT", 28, 2}, {"PSIZE", 30, 1},
};

void InitGlslang() {
    static std::once_flag once;
    std::call_once(once, [] { glslang::InitializeProcess(); });
}

bool HlslToSpirv(const char* source, std::size_t length, const char* entry, ShaderStage stage,
                 std::vector<std::uint32_t>& spirv, std::string& error) {
    InitGlslang();
    const EShLanguage language = stage == ShaderStage::Vertex ? EShLangVertex : EShLangFragment;
    glslang::TShader shader(language);
    const int len = static_cast<int>(length);
    shader.setStringsWithLengthsAndNames(&source, &len, &entry, 1);
    shader.setEntryPoint(entry);
    shader.setSourceEntryPoint(entry);
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
    shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    shader.setEnvTargetHlslFunctionality1();
    shader.setHlslIoMapping(true);
    shader.setAutoMapBindings(true);
    shader.setAutoMapLocations(true);
    const auto messages = static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules |
                                                   EShMsgReadHlsl | EShMsgHlslOffsets);
    if (!shader.parse(GetDefaultResources(), 100, false, messages)) {
        error = shader.getInfoLog();
        return false;
    }
    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(messages) || !program.mapIO()) {
        error = std::string(entry) + ": " + shader.getInfoLog() + program.getInfoLog();
        return false;
    }
    glslang::SpvOptions options;
    // Legalisation: without it a local copy of a texture object can end up bound to the wrong
    // texture.
    options.disableOptimizer = false;
    options.validate = false;
    spv::SpvBuildLogger logger;
    glslang::GlslangToSpv(*program.getIntermediate(language), spirv, &logger, &options);
    if (spirv.empty()) {
        error = "no SPIR-V produced: " + logger.getAllMessages();
        return false;
    }
    return true;
}

struct SpvcContext {
    spvc_context context = nullptr;
    ~SpvcContext() {
        if (context) spvc_context_destroy(context);
    }
};

std::string SemanticOf(spvc_compiler compiler, spvc_variable_id id) {
    const char* s =
        spvc_compiler_get_decoration_string(compiler, id, SpvDecorationHlslSemanticGOOGLE);
    std::string semantic = s ? s : "";
    for (char& c : semantic) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return semantic;
}

const spvc_reflected_resource* Resources(spvc_resources resources, spvc_resource_type type,
                                         std::size_t& count) {
    const spvc_reflected_resource* list = nullptr;
    count = 0;
    spvc_resources_get_resource_list_for_type(resources, type, &list, &count);
    return list;
}

// Inputs of the vertex stage keep their automatic locations, recorded with their semantics;
// varyings are pinned to the shared table so that any vertex entry meets any pixel entry.
bool AssignInterface(spvc_compiler compiler, spvc_resources resources, ShaderStage stage,
                     CompiledShader& out, std::string& error) {
    std::size_t count = 0;
    const auto* inputs = Resources(resources, SPVC_RESOURCE_TYPE_STAGE_INPUT, count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string semantic = SemanticOf(compiler, inputs[i].id);
        if (stage == ShaderStage::Vertex) {
            out.inputs.push_back({semantic, spvc_compiler_get_decoration(compiler, inputs[i].id,
                                                                         SpvDecorationLocation)});
            continue;
        }
        const int location = VaryingLocation(semantic);
        if (location < 0) {
            error = out.entry + ": no varying location for semantic '" + semantic + "'";
            return false;
        }
        spvc_compiler_set_decoration(compiler, inputs[i].id, SpvDecorationLocation,
                                     static_cast<unsigned>(location));
    }
    const auto* outputs = Resources(resources, SPVC_RESOURCE_TYPE_STAGE_OUTPUT, count);
    for (std::size_t i = 0; i < count; ++i) {
        if (stage == ShaderStage::Pixel) {
            if (spvc_compiler_get_decoration(compiler, outputs[i].id, SpvDecorationLocation) == 0) {
                spvc_compiler_set_name(compiler, outputs[i].id, "quixo_target0");
            }
            continue;
        }
        const std::string semantic = SemanticOf(compiler, outputs[i].id);
        const int location = VaryingLocation(semantic);
        if (location < 0) {
            error = out.entry + ": no varying location for semantic '" + semantic + "'";
            return false;
        }
        spvc_compiler_set_decoration(compiler, outputs[i].id, SpvDecorationLocation,
                                     static_cast<unsigned>(location));
    }
    return true;
}

void ReflectConstantBuffers(spvc_compiler compiler, spvc_resources resources, CompiledShader& out) {
    std::size_t count = 0;
    const auto* buffers = Resources(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, count);
    for (std::size_t i = 0; i < count; ++i) {
        const spvc_type type = spvc_compiler_get_type_handle(compiler, buffers[i].base_type_id);
        const char* name = spvc_compiler_get_name(compiler, buffers[i].base_type_id);
        const unsigned slot =
            spvc_compiler_get_decoration(compiler, buffers[i].id, SpvDecorationBinding);
        const unsigned members = spvc_type_get_num_member_types(type);
        for (unsigned m = 0; m < members; ++m) {
            unsigned offset = 0;
            spvc_compiler_type_struct_member_offset(compiler, type, m, &offset);
            const char* member =
                spvc_compiler_get_member_name(compiler, buffers[i].base_type_id, m);
            out.members.push_back({name ? name : "", slot, member ? member : "", offset});
        }
    }
}

// Load() needs a sampler in GLSL: a dummy one is made, and every combined image-sampler takes
// the binding of its texture's t register, so tN is texture unit N.
bool CombineSamplers(spvc_compiler compiler) {
    spvc_variable_id dummy = 0;
    if (spvc_compiler_build_dummy_sampler_for_combined_images(compiler, &dummy) != SPVC_SUCCESS ||
        spvc_compiler_build_combined_image_samplers(compiler) != SPVC_SUCCESS) {
        return false;
    }
    const spvc_combined_image_sampler* combined = nullptr;
    std::size_t count = 0;
    spvc_compiler_get_combined_image_samplers(compiler, &combined, &count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned binding =
            spvc_compiler_get_decoration(compiler, combined[i].image_id, SpvDecorationBinding);
        spvc_compiler_set_decoration(compiler, combined[i].combined_id, SpvDecorationBinding,
                                     binding);
    }
    return true;
}

// Pixel shaders get a switchable alpha test after their body: alpha-to-coverage on a
// single-sample target keeps exactly the pixels whose alpha reaches 0.5.
void AddAlphaTest(std::string& glsl) {
    const std::string mainDecl = "void main()";
    const std::size_t at = glsl.find(mainDecl);
    if (at == std::string::npos || glsl.find("vec4 quixo_target0;") == std::string::npos) return;
    glsl.replace(at, mainDecl.size(), "void quixo_entry()");
    glsl += std::string("\nuniform int ") + kAlphaTestUniform +
            ";\nvoid main()\n{\n    quixo_entry();\n    if (" + kAlphaTestUniform +
            " != 0 && quixo_target0.a < 0.5)\n    {\n        discard;\n    }\n}\n";
}

bool SpirvToGlsl(const std::vector<std::uint32_t>& spirv, CompiledShader& out, std::string& error) {
    SpvcContext ctx;
    spvc_parsed_ir ir = nullptr;
    spvc_compiler compiler = nullptr;
    spvc_compiler_options options = nullptr;
    spvc_resources resources = nullptr;
    const char* glsl = nullptr;
    auto fail = [&] {
        error =
            out.entry + ": " +
            (ctx.context ? spvc_context_get_last_error_string(ctx.context) : "SPIRV-Cross failed");
        return false;
    };
    if (spvc_context_create(&ctx.context) != SPVC_SUCCESS) return fail();
    if (spvc_context_parse_spirv(ctx.context, spirv.data(), spirv.size(), &ir) != SPVC_SUCCESS ||
        spvc_context_create_compiler(ctx.context, SPVC_BACKEND_GLSL, ir,
                                     SPVC_CAPTURE_MODE_TAKE_OWNERSHIP, &compiler) != SPVC_SUCCESS ||
        spvc_compiler_create_compiler_options(compiler, &options) != SPVC_SUCCESS) {
        return fail();
    }
    spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 450);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_SUPPORT_NONZERO_BASE_INSTANCE,
                                   SPVC_FALSE);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_SEPARATE_SHADER_OBJECTS,
                                   SPVC_TRUE);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ENABLE_420PACK_EXTENSION,
                                   SPVC_TRUE);
    spvc_compiler_install_compiler_options(compiler, options);
    if (!CombineSamplers(compiler)) return fail();
    if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) return fail();
    if (!AssignInterface(compiler, resources, out.stage, out, error)) return false;
    ReflectConstantBuffers(compiler, resources, out);
    if (spvc_compiler_compile(compiler, &glsl) != SPVC_SUCCESS) return fail();
    out.glsl = glsl;
    if (out.stage == ShaderStage::Pixel) AddAlphaTest(out.glsl);
    return true;
}

}  // namespace

std::string CanonicalSemantic(const std::string& name, std::uint32_t index) {
    std::string s = name;
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (index != 0) s += std::to_string(index);
    return s;
}

int VaryingLocation(const std::string& semantic) {
    std::size_t digits = semantic.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(semantic[digits - 1]))) --digits;
    const std::string name = semantic.substr(0, digits);
    const int index = digits < semantic.size() ? std::stoi(semantic.substr(digits)) : 0;
    for (const VaryingRange& range : kVaryings) {
        if (name == range.name && index < range.count) return range.base + index;
    }
    return -1;
}

bool CompileHlsl(const char* source, std::size_t length, const char* entry, ShaderStage stage,
                 CompiledShader& out, std::string& error) {
    out = CompiledShader{};
    out.stage = stage;
    out.entry = entry;
    std::vector<std::uint32_t> spirv;
    if (!HlslToSpirv(source, length, entry, stage, spirv, error)) return false;
    return SpirvToGlsl(spirv, out, error);
}

}  // namespace quixo::gfx
