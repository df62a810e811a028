// json::jobject::parse of a 3 KB hardware-information document against read_json.
#include <benchmark/benchmark.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <sstream>
#include <string>

#include "bench_report.h"
#include "net/json.h"

namespace {

// A document of the device's kind: flat members, a few nested values, about 3 KB.
std::string HardwareDocument() {
    std::string d =
        "{\n  \"mcu_info\": \"ESP32-S3,rev 0.2\",\n  \"version\": \"2.1.0\",\n"
        "  \"device_id\": \"A0B1C2D3E4F5_S3\",\n";
    for (int i = 0; d.size() < 2780; ++i) {
        d += "  \"param_" + std::to_string(i) + "\": ";
        switch (i % 4) {
            case 0:
                d += "\"value text number " + std::to_string(i * 37) + "\"";
                break;
            case 1:
                d += std::to_string(i * 1234567);
                break;
            case 2:
                d += i % 8 == 2 ? "true" : "-12.5e-3";
                break;
            default:
                d += "\"192.168.1." + std::to_string(i) + "\"";
                break;
        }
        d += ",\n";
    }
    d += "  \"can\": {\"bitrate\": 500000, \"channels\": [0, 1], \"fd\": false},\n"
         "  \"wifi\": {\"ssid\": \"Workshop\", \"rssi\": -61, \"mode\": \"003\"},\n"
         "  \"partitions\": [{\"name\": \"app0\", \"size\": 1966080}, "
         "{\"name\": \"app1\", \"size\": 1966080}]\n}\n";
    return d;
}

const std::string kDoc = HardwareDocument();

void JsonParse(benchmark::State& state, const std::string& name) {
    for (auto _ : bench::Timed(state, name, static_cast<double>(kDoc.size()))) {
        json::jobject o = json::jobject::parse(kDoc.c_str());
        benchmark::DoNotOptimize(o);
    }
    state.SetBytesProcessed(state.iterations() * kDoc.size());
    state.counters["doc_bytes"] = static_cast<double>(kDoc.size());
}

void PropertyTreeReadJson(benchmark::State& state, const std::string& name) {
    for (auto _ : bench::Timed(state, name, static_cast<double>(kDoc.size()))) {
        std::istringstream in(kDoc);
        boost::property_tree::ptree tree;
        boost::property_tree::read_json(in, tree);
        benchmark::DoNotOptimize(tree);
    }
    state.SetBytesProcessed(state.iterations() * kDoc.size());
}

}  // namespace

int main(int argc, char** argv) {
    bench::Register("parse 3 KB hardware document: ours", JsonParse);
    bench::Register("parse 3 KB hardware document: property_tree read_json", PropertyTreeReadJson);
    return bench::RunBenchmarks(argc, argv);
}
