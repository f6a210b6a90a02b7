// Loading a large document (about 10 MB of text XML) from its binary form through the
// converter, against parsing the same tree from text XML with pugixml; freeing it; writing it.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "bench/ratio_report.h"
#include "resource/xml_bml_converter.h"

namespace {

struct LargeDocument {
    std::vector<std::uint8_t> binary;
    std::string text;
};

std::unique_ptr<enXml> BuildScene() {
    auto scene = std::make_unique<enXml>("Scene");
    for (int group = 0; group < 240; ++group) {
        enXml* list = scene->AddNewChild("SubEntityList");
        for (int index = 0; index < 100; ++index) {
            enXml* entity = list->AddNewChild("SubEntity");
            entity->AddAttribute("Name", "Rock " + std::to_string(group) + "-" + std::to_string(index));
            entity->AddAttribute("FileName", "Entities\\Cave\\rock" + std::to_string(index % 7) + ".xml");
            entity->SetValueVector("p3Position", D3DXVECTOR3(index * 1.5f, group * 0.25f, -3.75f));
            entity->SetValueFloat("fSpeed", 0.125f * index);
            entity->SetValueBool("bVisible", index % 3 != 0);
            entity->SetValueHex("dwColor", 0xFF000000u | (group * 997u + index));
            entity->SetValueString("sTitle", "A rock in the cave");
            enXml* ai = entity->AddNewChild("AIList")->AddNewChild("AI");
            ai->AddAttribute("Name", "CAIMoveByVector");
            ai->SetValueInt("iDelay", index * 11);
            ai->SetValueVector("p3Direction", D3DXVECTOR3(0.0f, 1.0f, 0.5f));
        }
    }
    return scene;
}

void AppendText(const enXml& node, pugi::xml_node target) {
    target.set_name(node.GetName()->Text().c_str());
    for (const enXmlAttribute& attribute : node.Attributes()) {
        target.append_attribute(attribute.name->Text().c_str()).set_value(attribute.value.c_str());
    }
    for (const enXml* child = node.FirstChild(); child; child = child->NextSibling()) {
        AppendText(*child, target.append_child(pugi::node_element));
    }
}

const LargeDocument& Document() {
    static const LargeDocument document = [] {
        std::unique_ptr<enXml> scene = BuildScene();
        LargeDocument result;
        CXmlBmlConverter converter;
        converter.ToBinary(*scene);
        result.binary = converter.Buffer();
        pugi::xml_document text;
        AppendText(*scene, text.append_child(pugi::node_element));
        std::ostringstream out;
        text.save(out, "  ");
        result.text = out.str();
        return result;
    }();
    return document;
}

void BM_LoadBinaryXml(benchmark::State& state) {
    const LargeDocument& document = Document();
    for (auto _ : state) {
        std::unique_ptr<enXml> root = CXmlBmlConverter::FromBinary(document.binary);
        benchmark::DoNotOptimize(root.get());
        // Only loading is measured, on both sides.
        state.PauseTiming();
        root.reset();
        state.ResumeTiming();
    }
    state.counters["binary_bytes"] = static_cast<double>(document.binary.size());
    state.counters["text_bytes"] = static_cast<double>(document.text.size());
}
BENCHMARK(BM_LoadBinaryXml)->Unit(benchmark::kMillisecond);

void BM_FreeLoadedXml(benchmark::State& state) {
    const LargeDocument& document = Document();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<enXml> root = CXmlBmlConverter::FromBinary(document.binary);
        benchmark::DoNotOptimize(root.get());
        state.ResumeTiming();
        root.reset();
    }
}
// A fast free would otherwise need thousands of untimed loads to fill the minimum time.
BENCHMARK(BM_FreeLoadedXml)->Unit(benchmark::kMillisecond)->Iterations(40);

void BM_ParseTextXmlWithPugixml(benchmark::State& state) {
    const LargeDocument& document = Document();
    for (auto _ : state) {
        auto parsed = std::make_unique<pugi::xml_document>();
        benchmark::DoNotOptimize(parsed->load_buffer(document.text.data(), document.text.size()));
        state.PauseTiming();
        parsed.reset();
        state.ResumeTiming();
    }
    state.counters["text_bytes"] = static_cast<double>(document.text.size());
}
BENCHMARK(BM_ParseTextXmlWithPugixml)->Unit(benchmark::kMillisecond);

void BM_WriteBinaryXml(benchmark::State& state) {
    std::unique_ptr<enXml> root = CXmlBmlConverter::FromBinary(Document().binary);
    CXmlBmlConverter converter;
    for (auto _ : state) {
        benchmark::DoNotOptimize(converter.ToBinary(*root));
    }
}
BENCHMARK(BM_WriteBinaryXml)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarksWithRatios(
        argc, argv,
        {{"binary load vs pugixml", "BM_LoadBinaryXml", "BM_ParseTextXmlWithPugixml"},
         {"free vs load", "BM_FreeLoadedXml", "BM_LoadBinaryXml"}});
}
