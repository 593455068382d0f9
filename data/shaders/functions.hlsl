
// Quixo shader library, part two: shared functions and the entries.
// Matrices are uploaded in row-vector layout and declared column_major, so mul(M, v) applies
// the host's p x M. L below is -lightDirVS: vertex entries dot all four components with the
// four-component normal, pixel entries use its xyz part only.

static const float PI = 3.1415926535;

// Full-screen quad corners for a four-vertex strip, and the texture coordinate each corner
// meets (clip (-1, -1) is the bottom left, texture row 1).
static const float2 kQuadCorner[4] = { float2(-1, -1), float2(1, -1), float2(-1, 1), float2(1, 1) };
static const float2 kQuadUvCorner[4] = { float2(-1, 1), float2(1, 1), float2(-1, -1), float2(1, -1) };

VO emptyVO()
{
    VO o = (VO)0;
    return o;
}

float4 fullScreenQuad(uint id)
{
    return float4(kQuadCorner[id], 0, 1);
}

// Spherical coordinates of p scaled to 0..1: x from the latitude, y from the longitude.
float2 cart2sph(float3 p)
{
    float phi = atan2(p.z, length(p.xy));
    float theta = 0;
    if (p.x > 0 && p.y > 0)
        theta = atan2(p.y, p.x);
    else if (p.x <= 0 && p.y > 0)
        theta = atan2(-p.x, p.y) + PI / 2;
    else if (p.x <= 0 && p.y <= 0)
        theta = atan2(-p.y, -p.x) + PI;
    else if (p.x > 0 && p.y <= 0)
        theta = atan2(p.x, -p.y) + 1.5 * PI;
    return float2((phi + PI / 2) / PI, theta / (2 * PI));
}

float4 blm(float2 uv)
{
    return bloomMap.Sample(quadSampler, uv);
}

// r rotated by angle a about the unit axis f (Rodrigues' formula as a matrix).
float3 rotateAxis(float3 r, float a, float3 f)
{
    float c = cos(a);
    float s = sin(a);
    float t = 1 - c;
    float3x3 m = float3x3(
        t * f.x * f.x + c,       t * f.x * f.y - s * f.z, t * f.x * f.z + s * f.y,
        t * f.x * f.y + s * f.z, t * f.y * f.y + c,       t * f.y * f.z - s * f.x,
        t * f.x * f.z - s * f.y, t * f.y * f.z + s * f.x, t * f.z * f.z + c);
    return mul(m, r);
}

// Quaternions with the real part in x.
float4 quatMul(float4 q, float4 p)
{
    return float4(q.x * p.x - dot(q.yzw, p.yzw),
                  q.x * p.yzw + p.x * q.yzw + cross(q.yzw, p.yzw));
}

float4 quatSq(float4 q)
{
    return float4(q.x * q.x - dot(q.yzw, q.yzw), 2 * q.x * q.yzw);
}

// Cook-Torrance specular with roughness 0.35 and refractive index 20; l is not normalised.
float cookTorrance(float3 n, float3 v, float3 l)
{
    const float m2 = 0.35 * 0.35;
    const float ior = 20;
    float3 h = normalize(l + v);
    float nv = dot(n, v);
    float nh = dot(n, h);
    float vh = dot(v, h);
    float nl = dot(n, l);
    float lh = dot(l, h);
    float nh2 = nh * nh;
    float d = exp(-(1 - nh2) / (nh2 * m2)) / (4 * m2 * nh2 * nh2);
    float g = min(1, min(2 * nh * nv / vh, 2 * nh * nl / vh));
    float c = sqrt(ior * ior + lh * lh - 1);
    float a = lh * (c + lh) - 1;
    float b = lh * (c - lh) + 1;
    float f = 0.5 * (c - lh) * (c - lh) / ((c + lh) * (c + lh)) * (1 + a * a / (b * b));
    return max(0, f * d * g / nv);
}

float cookSpecular(VO i)
{
    float3 n = normalize(i.normal);
    float3 v = normalize(eyePosVS.xyz - i.localPos);
    return cookTorrance(n, v, -lightDirVS.xyz);
}

// Lambert-like grey shading shared by the simple model entries.
VO litModel(VI v)
{
    VO o = emptyVO();
    o.pos = mul(worldViewProj, v.P);
    o.uv = v.T.xy;
    o.col_ = float4(0.3 + 0.3 * saturate(dot(normalize(lightDirVS), v.N)).xxx, 1);
    return o;
}

// ---- Fixed passes ----

VO A_0_debuglineVS(VI v)
{
    VO o = emptyVO();
    o.pos = mul(viewProj, v.P);
    o.col_ = v.C;
    return o;
}

float4 A_0_debuglinePS(VO i) : SV_Target
{
    return i.col_;
}

// Screen-space velocity and depth. A vertex on the trailing side of a moving object stays at
// its previous position, which stretches the object along its motion.
VO velocityAndDepth(VI v, float4x4 wvp, float4x4 oldWvp)
{
    VO o = emptyVO();
    float4 m = mul(wvp, v.P);
    o.pos = m;
    o.velocity.xy = 0;
    if (isBlur)
    {
        float4 d = mul(oldWvp, v.P);
        float3 s = mul(wvp, float4(v.N.xyz, 0)).xyz;
        float3 motion = (m - d).xyz;
        o.pos = dot(normalize(motion), normalize(s)) < 0 ? d : m;
        o.velocity.xy = (m.xy / m.w - d.xy / d.w) * float2(0.5, -0.5);
    }
    o.velocity.z = o.pos.z;
    o.velocity.w = o.pos.w;
    return o;
}

VO A_1_create_velocity_and_depthVS(VI v)
{
    return velocityAndDepth(v, worldViewProj, oldWorldViewProj);
}

VO A_1_create_velocity_and_depth_instancedVS(VI v, uint instance : SV_InstanceID)
{
    return velocityAndDepth(v, objectRun[instance].worldViewProj,
                            objectRun[instance].oldWorldViewProj);
}

float4 A_1_create_velocity_and_depthPS(VO i) : SV_Target
{
    return float4(i.velocity.x, i.velocity.y, 1, i.velocity.z / i.velocity.w);
}

VO A_3_postprocessVS(uint id : SV_VertexID)
{
    VO o = emptyVO();
    o.pos = fullScreenQuad(id);
    return o;
}

// Composite: depth of field or motion blur, bloom, then the scene transition.
float4 A_3_postprocessPS(VO i) : SV_Target
{
    float2 size = float2(w_width, w_height);
    float2 s = i.pos.xy / size;
    float2 h = s * 0.5;
    float2 q = (i.pos.xy - size / 2) / (w_width / 2);
    float4 r = colorMap.Sample(quadSampler, s);
    if (isRenderDof)
    {
        float d = velocityAndDepthMap.Sample(quadSampler, s).w;
        r = lerp(r, dofBokhRT.Sample(quadSampler, s), abs(d - dofFocus));
    }
    else if (isBlur)
    {
        float2 step = velocityAndDepthMap.Sample(quadSampler, s).xy / 10;
        float4 sum = 0;
        for (int j = 1; j <= 9; ++j)
            sum += colorMap.Sample(quadSampler, s + step * j);
        r = float4(sum.rgb / 10, 1);
    }
    if (isRenderBloom)
        r += blm(h);
    if (transitionType == 1)
        r *= saturate(transitionFactor);
    else if (transitionType == 2)
        r = saturate(r + saturate(1 - transitionFactor));
    else if (transitionType == 3 && length(q) >= transitionFactor * 1.18)
        r = float4(0, 0, 0, 1);
    return r;
}

// col_.xy: the pixel's texture coordinate; col_.zw: the same moved up-left by 0.75 texel,
// where the four corner taps of the edge test are read.
VO A_4_fxaaVS(uint id : SV_VertexID)
{
    VO o = emptyVO();
    o.pos = fullScreenQuad(id);
    o.col_.xy = kQuadUvCorner[id] * 0.5 + 0.5;
    o.col_.zw = o.col_.xy - float2(1 / w_width, 1 / w_height) * 0.75;
    return o;
}

float3 fxaaTap(float2 uv)
{
    return postEffectRT.SampleLevel(g_samLinear, uv, 0).rgb;
}

float4 A_4_fxaaPS(VO i) : SV_Target
{
    const float reduceMin = 1.0 / 128;
    const float reduceMul = 1.0 / 8;
    const float spanMax = 8;
    const float3 toLuma = float3(0.299, 0.587, 0.114);
    float2 p = i.col_.xy;
    float2 pp = i.col_.zw;
    float2 rcp = float2(1 / w_width, 1 / w_height);

    float nw = dot(fxaaTap(pp), toLuma);
    float ne = dot(fxaaTap(pp + float2(rcp.x, 0)), toLuma);
    float sw = dot(fxaaTap(pp + float2(0, rcp.y)), toLuma);
    float se = dot(fxaaTap(pp + rcp), toLuma);
    float m = dot(fxaaTap(p), toLuma);
    float lumaMin = min(m, min(min(nw, ne), min(sw, se)));
    float lumaMax = max(m, max(max(nw, ne), max(sw, se)));

    float2 dir = float2(-((nw + ne) - (sw + se)), (nw + sw) - (ne + se));
    float reduce = max((nw + ne + sw + se) * 0.25 * reduceMul, reduceMin);
    float scale = 1 / (min(abs(dir.x), abs(dir.y)) + reduce);
    dir = clamp(dir * scale, -spanMax, spanMax) * rcp;

    float3 a = 0.5 * (fxaaTap(p + dir * (1.0 / 3 - 0.5)) + fxaaTap(p + dir * (2.0 / 3 - 0.5)));
    float3 b = a * 0.5 + 0.25 * (fxaaTap(p - dir * 0.5) + fxaaTap(p + dir * 0.5));
    float lumaB = dot(b, toLuma);
    return float4((lumaB < lumaMin || lumaB > lumaMax) ? a : b, 1);
}

VO A_5_bloomHighlightVS(uint id : SV_VertexID)
{
    VO o = emptyVO();
    o.pos = fullScreenQuad(id);
    return o;
}

// Bright pass at twice the pixel spacing: a half-size image in the top-left quarter.
float4 A_5_bloomHighlightPS(VO i) : SV_Target
{
    float3 c = colorMap.Sample(quadSampler, 2 * i.pos.xy / float2(w_width, w_height)).rgb;
    float luma = dot(c, float3(0.29891, 0.58661, 0.11448));
    return luma > bloomThrethold ? float4(bloomColor, bloomColor, bloomColor, 1)
                                 : float4(0, 0, 0, 1);
}

// Sixteen taps at the odd offsets +-1 .. +-15 steps along unit; each weight serves two taps.
float4 gaussTaps(float2 b, float2 unit)
{
    float weight[8] = { gasWeight0, gasWeight1, gasWeight2, gasWeight3,
                        gasWeight4, gasWeight5, gasWeight6, gasWeight7 };
    float4 sum = 0;
    for (int k = 0; k < 8; ++k)
    {
        float2 offset = unit * (2 * k + 1);
        sum += weight[k] * (blm(b - offset) + blm(b + offset));
    }
    return sum;
}

float2 gaussBase(float4 pos)
{
    return float2(pos.x * gasScale / w_width, pos.y * gasScale / w_height);
}

VO A_6_gauss1VS(uint id : SV_VertexID)
{
    VO o = emptyVO();
    o.pos = fullScreenQuad(id);
    return o;
}

float4 A_6_gauss1PS(VO i) : SV_Target
{
    return gaussTaps(gaussBase(i.pos), float2(gasSpread / w_width, 0));
}

VO A_7_gauss2VS(uint id : SV_VertexID)
{
    VO o = emptyVO();
    o.pos = fullScreenQuad(id);
    return o;
}

float4 A_7_gauss2PS(VO i) : SV_Target
{
    return gaussTaps(gaussBase(i.pos), float2(0, gasSpread / w_height));
}

// The destination rectangle in 0..1 screen units, turned about its centre. The extra half turn
// is undone by the pixel entry, which reads the source rectangle from its far corner.
spriteVO A_8_spriteVS(uint id : SV_VertexID)
{
    float k = w_height / w_width;
    float left = (2 * spriteDstRect.x - 1) * k;
    float top = -(2 * spriteDstRect.y - 1);
    float right = (2 * spriteDstRect.z - 1) * k;
    float bottom = -(2 * spriteDstRect.w - 1);
    float2 corner[4] = { float2(left, top), float2(right, top),
                         float2(left, bottom), float2(right, bottom) };
    float2 uv[4] = { float2(0, 0), float2(1, 0), float2(0, 1), float2(1, 1) };
    float2 centre = float2(left + right, top + bottom) * 0.5;
    float a = spriteRot.x + 3.14159;
    float c = cos(a);
    float s = sin(a);
    float2 e = corner[id] - centre;
    spriteVO o;
    o.pos = float4(centre + float2(c * e.x - s * e.y, s * e.x + c * e.y), spriteZ.x, 1);
    o.uv = uv[id];
    return o;
}

float4 A_8_spritePS(spriteVO i) : SV_Target
{
    float u = spritesrcRect.x * i.uv.x + spritesrcRect.z * (1 - i.uv.x);
    float v = spritesrcRect.y * i.uv.y + spritesrcRect.w * (1 - i.uv.y);
    return sprite.Sample(spriteSamLinear, float2(u, v)) * spriteAlpha.x;
}

// ---- Object entries ----

VO A_backcubeVS(VI v)
{
    return litModel(v);
}

float4 A_backcubePS(VO i) : SV_Target
{
    return float4(0.7, 0.7, 0.7, 1);
}

VO baseAmbientVS(VI v)
{
    VO o = emptyVO();
    o.pos = mul(worldViewProj, v.P);
    o.col_ = options[0];
    return o;
}

float4 baseAmbientPS(VO i) : SV_Target
{
    return i.col_;
}

// options[0] ambient, options[1] diffuse, options[2] specular colour.
VO baseCook(VI v, float4x4 wvp, float4 ambient, float4 diffuse)
{
    VO o = emptyVO();
    o.pos = mul(wvp, v.P);
    o.uv = v.T.xy;
    o.col_ = ambient + diffuse * (dot(v.N, -lightDirVS) + 0.5);
    o.normal = mul(wvp, float4(v.N.xyz, 0)).xyz;
    o.localPos = v.P.xyz;
    return o;
}

VO baseCookVS(VI v)
{
    return baseCook(v, worldViewProj, options[0], options[1]);
}

float4 baseCookPS(VO i) : SV_Target
{
    return i.col_ + options[2] * cookSpecular(i);
}

instancedVO baseCook_instancedVS(VI v, uint instance : SV_InstanceID)
{
    ObjectRecord r = objectRun[instance];
    VO o = baseCook(v, r.worldViewProj, r.options[0], r.options[1]);
    instancedVO io;
    io.pos = o.pos;
    io.col_ = o.col_;
    io.uv = o.uv;
    io.normal = o.normal;
    io.localPos = o.localPos;
    io.velocity = o.velocity;
    io.specular = r.options[2];
    return io;
}

float4 baseCook_instancedPS(instancedVO i) : SV_Target
{
    VO o = emptyVO();
    o.pos = i.pos;
    o.col_ = i.col_;
    o.uv = i.uv;
    o.normal = i.normal;
    o.localPos = i.localPos;
    o.velocity = i.velocity;
    return o.col_ + i.specular * cookSpecular(o);
}

// Shatters a mesh quad by quad: each quad flies off from its centre G, spins about the
// horizontal axis across its direction, and falls until it lands.
// options[0].x time, options[1] drift, options[2] (spread, lift, gravity), options[3] colour.
VO crashVS(VI v)
{
    VO o = emptyVO();
    float h = options[0].x;
    float spread = options[2].x;
    float lift = options[2].y;
    float gravity = options[2].z;
    float3 g = normalize(v.G.xyz);
    float2 u = spread * g.xz;
    float l = lift * g.y;
    float landing = 2 * l / gravity;
    float t = min(h, landing);
    float3 axis = normalize(cross(v.G.xyz, float3(0, 1, 0)));
    float3 e = rotateAxis(v.P.xyz - v.G.xyz, -t, axis);
    float3 drift = options[1].xyz * min(options[0].xyz, landing);
    float3 p = v.G.xyz + e + float3(u.x * t, l * h - gravity * h * h, u.y * t) + drift;
    p.y = max(p.y, 0);
    o.pos = mul(worldViewProj, float4(p, 1));
    float4 b = options[3];
    o.col_ = b + b * max(-lightDirVS.w, dot(v.N, -lightDirVS));
    o.normal = v.N.xyz;
    o.localPos = p;
    return o;
}

float4 crashPS(VO i) : SV_Target
{
    return i.col_ + options[3] * cookSpecular(i);
}

float4 hogePS(VO i) : SV_Target
{
    return options[0];
}

// A quad at the depth of the object's origin; the pixel entry ray-marches the fractal.
VO juliaVS(uint id : SV_VertexID)
{
    VO o = emptyVO();
    float4 origin = mul(worldViewProj, float4(0, 0, 0, 1));
    o.pos = fullScreenQuad(min(id, 3));
    o.pos.z = origin.z / origin.w;
    return o;
}

static const float kJuliaEpsilon = 0.003;

// Distance estimate to the quaternion Julia set of constant k.
float juliaDistance(float3 p, float4 k)
{
    float4 z = float4(p, 0);
    float4 dz = float4(1, 0, 0, 0);
    for (int n = 0; n < 10 && dot(z, z) < 10; ++n)
    {
        dz = 2 * quatMul(z, dz);
        z = quatSq(z) + k;
    }
    float r = length(z);
    return 0.5 * r * log(r) / length(dz);
}

// Marches p along dir until the estimate drops below epsilon or p leaves the bounding sphere;
// returns the last estimate. The step cap keeps a degenerate ray from spinning forever.
float juliaMarch(inout float3 p, float3 dir, float4 k)
{
    float d = 1;
    for (int n = 0; n < 512 && d >= kJuliaEpsilon && dot(p, p) < 3; ++n)
    {
        d = juliaDistance(p, k);
        p += dir * d;
    }
    return d;
}

float juliaModulus(float3 p, float4 k)
{
    float4 z = float4(p, 0);
    for (int n = 0; n < 10; ++n)
        z = quatSq(z) + k;
    return length(z);
}

float3 juliaNormal(float3 p, float4 k)
{
    const float h = 1e-06;
    float3 dx = float3(h, 0, 0);
    float3 dy = float3(0, h, 0);
    float3 dz = float3(0, 0, h);
    return normalize(float3(juliaModulus(p + dx, k) - juliaModulus(p - dx, k),
                            juliaModulus(p + dy, k) - juliaModulus(p - dy, k),
                            juliaModulus(p + dz, k) - juliaModulus(p - dz, k)));
}

// options[1] colour, options[2] the Julia constant; the light sits at lightDirVS.xyz.
float4 juliaPS(VO i) : SV_Target
{
    float2 c = float2((i.pos.x - w_width / 2) / (w_height / 2) * 3,
                      (i.pos.y - w_height / 2) / (w_width / 2) * 3);
    float3 dir = mul(float3(c.x, -c.y, 1), (float3x3)viewProj);
    float3 p = eyePosVS.xyz * 0.5;
    float4 k = options[2];
    float3 light = lightDirVS.xyz;
    if (juliaMarch(p, dir, k) >= kJuliaEpsilon)
        return float4(0, 0, 0, 0);
    float3 n = juliaNormal(p, k);
    float3 toLight = normalize(light - p);
    float3 rgb = options[1].rgb * (dot(n, toLight) + 0.5);
    float3 q = p + n * 2 * kJuliaEpsilon;
    if (juliaMarch(q, toLight, k) < kJuliaEpsilon)
        rgb *= 0.5;
    return float4(rgb, 1);
}

// Twists the mesh about y by an angle growing with the distance from the axis.
VO neuronVS(VI v)
{
    VO o = emptyVO();
    float a = options[0].x;
    float w = length(v.P.xz) * sin(a);
    float turn = w + 2 * cos(a);
    float c = cos(turn);
    float s = sin(turn);
    float4 p = v.P;
    p.x = c * v.P.x + s * v.P.z;
    p.z = -s * v.P.x + c * v.P.z;
    p.y = v.P.y * (1 - abs(w));
    o.pos = mul(worldViewProj, p);
    o.uv = v.T.xy;
    o.localPos = p.xyz;
    o.normal = v.N.xyz;
    return o;
}

// A rim-lit shell with a pulse travelling outwards from the origin.
float4 neuronPS(VO i) : SV_Target
{
    float pulse = saturate(sin((options[1].x - length(i.localPos)) * 2) * 0.5);
    float3 n = normalize(i.normal);
    float3 v = normalize(eyePosVS.xyz - i.localPos);
    return 0.5 - abs(dot(n, v)) + pulse;
}

// Pushes the surface in and out in a checker of latitude and longitude bands.
VO spikeVS(VI v)
{
    VO o = emptyVO();
    float2 st = cart2sph(v.P.xyz);
    float k = options[0].x * 0.005;
    float m = sin((int)(st.x * 10) * 5 * k);
    float n = cos((int)(st.y * 10) * 5 * k);
    float4 p = float4(v.P.xyz * (m * n * 0.5 + 0.4), v.P.w);
    o.pos = mul(worldViewProj, p);
    o.col_.rgb = float3(m / 2, n / 2, m * n / 2);
    return o;
}

float4 spikePS(VO i) : SV_Target
{
    return i.col_;
}

VO testModelVS(VI v)
{
    return litModel(v);
}

float4 testModelPS(VO i) : SV_Target
{
    return i.col_;
}

VO testVS(VI v)
{
    VO o = emptyVO();
    o.pos = float4(v.P.xyz, 1);
    o.uv = v.T.xy;
    return o;
}

float4 testPS(VO i) : SV_Target
{
    return float4(colorMap.Sample(quadSampler, i.uv).rgb, 1);
}

VO texTestVS(VI v)
{
    VO o = emptyVO();
    o.pos = mul(worldViewProj, v.P);
    o.uv = v.T.xy;
    return o;
}

float4 texTestPS(VO i) : SV_Target
{
    return colorTex.Sample(quadSampler, i.uv);
}

VO x_cam_VS(VI v)
{
    return litModel(v);
}

float4 x_cam_lookat_PS(VO i) : SV_Target
{
    return float4(1, 1, 0, 1);
}

float4 x_cam_pos_PS(VO i) : SV_Target
{
    return float4(1, 0, 0, 1);
}
