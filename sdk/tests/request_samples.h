// Request texts of every hash and signing call in the shared cross-check vectors (hashes.json and
// signatures.json), each with the member values its record must hold, written as
// "member=value;..." (integers in decimal, 256-bit values as 0x and 64 digits, a nested record in braces).
// The values were derived from the JSON independently of this project, by Python's json and int parsers.
#pragma once

namespace tarvo::testing {

struct RequestSample {
  const char* record;
  const char* text;
  const char* members;
};

inline constexpr RequestSample
    kRequestSamples
        [] =
            {
                {"Transfer",
                 R"json({"receiver_position_id":"2","receiver_public_key":"0x61AEBE9D92E4016E27E47FFC284A2D4F781B9A43D04CE50B0620F0877E5FE381","sender_position_id":"512531898228226","asset_id":"0x000000000000009b5b05816fac0e36d556132dfb84492cd42b1141d6e429392b","nonce":"18446744073709551615","amount":"975425576","expiration_timestamp":"6","public_key":"0x000000000000000000000000ffffffffffffffffffffffffffffffffffffffff"})json",
                 "nonce=18446744073709551615;public_key="
                 "0x000000000000000000000000ffffffffffffffffffffffffffffffffffffffff;expiration_timestamp=6;"
                 "sender_position_id=512531898228226;receiver_public_key="
                 "0x61aebe9d92e4016e27e47ffc284a2d4f781b9a43d04ce50b0620f0877e5fe381;receiver_position_id=2;"
                 "amount=975425576;asset_id="
                 "0x000000000000009b5b05816fac0e36d556132dfb84492cd42b1141d6e429392b"},
                {"Transfer",
                 R"json({"asset_id":"0519dffb610464bfef0e5a598144c69601eef85efc3eb39d802ae68bcd8cf7d8","expiration_timestamp":"2147483648","amount":"248373847","sender_position_id":"5","receiver_position_id":"106468790","receiver_public_key":"0x0000000000000000000000003756D89D88D1F52C0F79D7A2C98406B7E41C70DB","public_key":"000000000000000000000000000000000000000000000000064eed74dcb962ed","nonce":"4294967295"})json",
                 "nonce=4294967295;public_key="
                 "0x000000000000000000000000000000000000000000000000064eed74dcb962ed;expiration_timestamp="
                 "2147483648;sender_position_id=5;receiver_public_key="
                 "0x0000000000000000000000003756d89d88d1f52c0f79d7a2c98406b7e41c70db;receiver_position_id="
                 "106468790;amount=248373847;asset_id="
                 "0x0519dffb610464bfef0e5a598144c69601eef85efc3eb39d802ae68bcd8cf7d8"},
                {"Transfer",
                 R"json({"sender_position_id": "2982072515", "amount": "3850417284890960", "receiver_position_id": "801876", "public_key": "37E2ECC72A2B5F67668F0F4A8EE5C3FE76A88A3CEEEE017554FF65980A97B99B", "receiver_public_key": "0x5f88e9d192def36a1391fc2827601a661265ad65af26e1282355a7b822100d09", "nonce": "002147483648", "expiration_timestamp": "21638", "asset_id": "f68d64ac843f16fb437387566757d308008c173"})json",
                 "nonce=2147483648;public_key="
                 "0x37e2ecc72a2b5f67668f0f4a8ee5c3fe76a88a3ceeee017554ff65980a97b99b;expiration_timestamp="
                 "21638;sender_position_id=2982072515;receiver_public_key="
                 "0x5f88e9d192def36a1391fc2827601a661265ad65af26e1282355a7b822100d09;receiver_position_id="
                 "801876;amount=3850417284890960;asset_id="
                 "0x0000000000000000000000000f68d64ac843f16fb437387566757d308008c173"},
                {"Transfer",
                 R"json({"public_key":"0x0392FB7FD25B74C6C0189F35AC7C83B978676C36943D757C1F016769A7318535","sender_position_id":"187587","expiration_timestamp":"2147483648","asset_id":"0xa68bc92","receiver_public_key":"0x000000000000000000000000000000000000000000000000000000003ebbb5aa","receiver_position_id":"7530786714777816755","amount":"2272064888","nonce":"4294967296"})json",
                 "nonce=4294967296;public_key="
                 "0x0392fb7fd25b74c6c0189f35ac7c83b978676c36943d757c1f016769a7318535;expiration_timestamp="
                 "2147483648;sender_position_id=187587;receiver_public_key="
                 "0x000000000000000000000000000000000000000000000000000000003ebbb5aa;receiver_position_id="
                 "7530786714777816755;amount=2272064888;asset_id="
                 "0x000000000000000000000000000000000000000000000000000000000a68bc92"},
                {"Transfer",
                 R"json({"receiver_position_id": "1", "public_key": "13787aaf7258d9456aa3ece5d8384a1", "receiver_public_key": "0x057b517f91b15dc120b5d1d4863729fbedad7770457f95732dd464e21e4f99b1", "nonce": "1969466544", "expiration_timestamp": "4294967295", "sender_position_id": "0", "asset_id": "0x194C174747EACEB8D7CF26A3E96E12C974CEF79C8FD8F466DE274210391EC4A2", "amount": "3823716698683162945"})json",
                 "nonce=1969466544;public_key="
                 "0x00000000000000000000000000000000013787aaf7258d9456aa3ece5d8384a1;expiration_timestamp="
                 "4294967295;sender_position_id=0;receiver_public_key="
                 "0x057b517f91b15dc120b5d1d4863729fbedad7770457f95732dd464e21e4f99b1;receiver_position_id=1;"
                 "amount=3823716698683162945;asset_id="
                 "0x194c174747eaceb8d7cf26a3e96e12c974cef79c8fd8f466de274210391ec4a2"},
                {"Transfer",
                 R"json({"amount":"4294967296","asset_id":"0feb1cbbd","expiration_timestamp":"236876","sender_position_id":"7","receiver_position_id":"4294967297","public_key":"0x0000000000000000000000000000000000000000000000000000000000000004","nonce":"8471447749","receiver_public_key":"3bf1df8ac9fd3e5f6c9031e0a1d2f16bfcb1f4f1"})json",
                 "nonce=8471447749;public_key="
                 "0x0000000000000000000000000000000000000000000000000000000000000004;expiration_timestamp="
                 "236876;sender_position_id=7;receiver_public_key="
                 "0x0000000000000000000000003bf1df8ac9fd3e5f6c9031e0a1d2f16bfcb1f4f1;receiver_position_id="
                 "4294967297;amount=4294967296;asset_id="
                 "0x00000000000000000000000000000000000000000000000000000000feb1cbbd"},
                {"Transfer",
                 R"json({"asset_id": "23C942814090B0180C75E57B10D8A2350ED63DF86E7B6D1E43AD4AE42F5F431", "public_key": "000000000000000000000000000000000000000000000000000000000969c362", "sender_position_id": "930109582751874180", "receiver_position_id": "4029275614159283267", "expiration_timestamp": "0", "receiver_public_key": "0xd3c5f3c2", "nonce": "4294967295", "amount": "35721525397787364"})json",
                 "nonce=4294967295;public_key="
                 "0x000000000000000000000000000000000000000000000000000000000969c362;expiration_timestamp=0;"
                 "sender_position_id=930109582751874180;receiver_public_key="
                 "0x00000000000000000000000000000000000000000000000000000000d3c5f3c2;receiver_position_id="
                 "4029275614159283267;amount=35721525397787364;asset_id="
                 "0x023c942814090b0180c75e57b10d8a2350ed63df86e7b6d1e43ad4ae42f5f431"},
                {"Transfer",
                 R"json({"sender_position_id":"4294967297","public_key":"0x3806c931a8d10f0b7a5dde0bb2e6ea0ee4c08413c4e098b2c2b8a13759c025e","expiration_timestamp":"1","receiver_position_id":"57004","nonce":"2147483648","asset_id":"0x27a27d495cb6c6d7743165dca62174af0888385bc140013864566a4cbb36bb87","receiver_public_key":"30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000000","amount":"2161511909650"})json",
                 "nonce=2147483648;public_key="
                 "0x03806c931a8d10f0b7a5dde0bb2e6ea0ee4c08413c4e098b2c2b8a13759c025e;expiration_timestamp=1;"
                 "sender_position_id=4294967297;receiver_public_key="
                 "0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000000;receiver_position_id="
                 "57004;amount=2161511909650;asset_id="
                 "0x27a27d495cb6c6d7743165dca62174af0888385bc140013864566a4cbb36bb87"},
                {"WithdrawRequest",
                 R"json({
  "extra_9": "x", 
  "nonce": "59152414151207062", 
  "expiration_timestamp": "1", 
  "asset_id": "0xE054B3C3", 
  "amount": "1", 
  "public_key": "0x000cfd213ee33fdc8b232d1cf264d025bce20bd29939623e7da07e7e5355c53c", 
  "position_id": "2370239932", 
  "eth_address": "0x01c2e1ad38ed5cc83e6a14a2c80d5790952804f2957932fd4dd8629a495f6f93"
})json",
                 "nonce=59152414151207062;public_key="
                 "0x000cfd213ee33fdc8b232d1cf264d025bce20bd29939623e7da07e7e5355c53c;expiration_timestamp=1;"
                 "position_id=2370239932;amount=1;eth_address="
                 "0x01c2e1ad38ed5cc83e6a14a2c80d5790952804f2957932fd4dd8629a495f6f93;asset_id="
                 "0x00000000000000000000000000000000000000000000000000000000e054b3c3"},
                {"WithdrawRequest",
                 R"json({"asset_id": "0x3c0c89ad9cb3ddfe87158b2db8500988b41432f4a797d408624ebea580814579", "eth_address": "8B092969", "extra_0": "x", "expiration_timestamp": "189", "public_key": "0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000000", "amount": "15514945850224", "nonce": "9223372036854775808", "position_id": "4294967295"})json",
                 "nonce=9223372036854775808;public_key="
                 "0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000000;expiration_timestamp="
                 "189;position_id=4294967295;amount=15514945850224;eth_address="
                 "0x000000000000000000000000000000000000000000000000000000008b092969;asset_id="
                 "0x3c0c89ad9cb3ddfe87158b2db8500988b41432f4a797d408624ebea580814579"},
                {"WithdrawRequest",
                 R"json({"position_id": "664822", "amount": "37", "public_key": "0x0000000000000000000000000000000000000000000000000000000000000089", "nonce": "1", "expiration_timestamp": "251", "eth_address": "0x00000000000000784633a5454836e856e8ae46f3458d46c308577a0d015144be", "asset_id": "0x000000000000009cf8409ca1f4a6179cf2a37a97c1bad9bbbe941bb263d65eeb"})json",
                 "nonce=1;public_key=0x0000000000000000000000000000000000000000000000000000000000000089;"
                 "expiration_timestamp=251;position_id=664822;amount=37;eth_address="
                 "0x00000000000000784633a5454836e856e8ae46f3458d46c308577a0d015144be;asset_id="
                 "0x000000000000009cf8409ca1f4a6179cf2a37a97c1bad9bbbe941bb263d65eeb"},
                {"WithdrawRequest",
                 R"json({"nonce": "4294967295", "amount": "2789279702", "asset_id": "0x13c7481913ce69bb587e39ca9ad4b3191a5a07900b25b97e06426e885e14d637", "position_id": "0", "expiration_timestamp": "186", "eth_address": "6f542219751acf4364c0cd52b7b566a814f9858280851862fa01091f175119c6", "public_key": "0x053594768C94BC2B38454B207705F22549A537ACF"})json",
                 "nonce=4294967295;public_key="
                 "0x00000000000000000000000053594768c94bc2b38454b207705f22549a537acf;expiration_timestamp="
                 "186;position_id=0;amount=2789279702;eth_address="
                 "0x6f542219751acf4364c0cd52b7b566a814f9858280851862fa01091f175119c6;asset_id="
                 "0x13c7481913ce69bb587e39ca9ad4b3191a5a07900b25b97e06426e885e14d637"},
                {"WithdrawRequest",
                 R"json({"eth_address": "1", "position_id": "4294967296", "extra_6": "x", "asset_id": "0x0000000000000000000000000000000000000000000000006201F7D138D3C30E", "public_key": "1", "amount": "20295320869576514", "nonce": "+2", "expiration_timestamp": "+0"})json",
                 "nonce=2;public_key=0x0000000000000000000000000000000000000000000000000000000000000001;"
                 "expiration_timestamp=0;position_id=4294967296;amount=20295320869576514;eth_address="
                 "0x0000000000000000000000000000000000000000000000000000000000000001;asset_id="
                 "0x0000000000000000000000000000000000000000000000006201f7d138d3c30e"},
                {"WithdrawRequest",
                 R"json({"position_id":"15","nonce":"63777","eth_address":"0x378cbe6e88caef71e297d6a427d2d3a824f16037a71780f473b381a40ee04b4e","expiration_timestamp":"4294967295","extra_8":null,"amount":"264949847913","asset_id":"0x22CCFE689A0147C13AE78C2919DA8198BE675B47","public_key":"0x378cbe6e88caef71e297d6a427d2d3a824f16037a71780f473b381a40ee04b4e"})json",
                 "nonce=63777;public_key=0x378cbe6e88caef71e297d6a427d2d3a824f16037a71780f473b381a40ee04b4e;"
                 "expiration_timestamp=4294967295;position_id=15;amount=264949847913;eth_address="
                 "0x378cbe6e88caef71e297d6a427d2d3a824f16037a71780f473b381a40ee04b4e;asset_id="
                 "0x00000000000000000000000022ccfe689a0147c13ae78c2919da8198be675b47"},
                {"WithdrawRequest",
                 R"json({"asset_id": "0xf35b64f9", "eth_address": "0000000000000000000000004eb42efc6effc7345034cccba502f93f713ffb57", "expiration_timestamp": "4294967295", "nonce": "287", "amount": "1", "public_key": "0000000000000000000000004eb42efc6effc7345034cccba502f93f713ffb57", "position_id": "+4294967297"})json",
                 "nonce=287;public_key=0x0000000000000000000000004eb42efc6effc7345034cccba502f93f713ffb57;"
                 "expiration_timestamp=4294967295;position_id=4294967297;amount=1;eth_address="
                 "0x0000000000000000000000004eb42efc6effc7345034cccba502f93f713ffb57;asset_id="
                 "0x00000000000000000000000000000000000000000000000000000000f35b64f9"},
                {"WithdrawRequest",
                 R"json({
  "position_id":"800563",
  "eth_address":"0x8000000000000000000000000000000000000000000000000000000000000004",
  "amount":"2",
  "asset_id":"8000000000000000000000000000000000000000000000000000000000000004",
  "nonce":"3773720643691376",
  "expiration_timestamp":"1",
  "public_key":"0xFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
})json",
                 "nonce=3773720643691376;public_key="
                 "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff;expiration_timestamp=1;"
                 "position_id=800563;amount=2;eth_address="
                 "0x8000000000000000000000000000000000000000000000000000000000000004;asset_id="
                 "0x8000000000000000000000000000000000000000000000000000000000000004"},
                {"LimitOrderRequest",
                 R"json({
  "extra_1": 1.5, 
  "is_buying_synthetic": true, 
  "amount_fee": "4294967295", 
  "asset_id_synthetic": "0x1", 
  "amount_collateral": "383414", 
  "public_key": "0x000000000000000000000000000000000000000000000000f2d9cccaaf3f9a75", 
  "amount_synthetic": "2011610931", 
  "expiration_timestamp": "178725", 
  "position_id": "+33050685676470506", 
  "nonce": "+8193161612", 
  "asset_id_collateral": "0x7d54828a9f128506e6884eb7c16093992c9dac3ca0296e6cad66911850f2485"
})json",
                 "nonce=8193161612;public_key="
                 "0x000000000000000000000000000000000000000000000000f2d9cccaaf3f9a75;expiration_timestamp="
                 "178725;amount_synthetic=2011610931;amount_collateral=383414;amount_fee=4294967295;asset_id_"
                 "synthetic=1;asset_id_collateral="
                 "0x07d54828a9f128506e6884eb7c16093992c9dac3ca0296e6cad66911850f2485;position_id="
                 "33050685676470506;is_buying_synthetic=true"},
                {"LimitOrderRequest",
                 R"json({"position_id":"16735512669492305","expiration_timestamp":"14179280","nonce":"1873114005","asset_id_synthetic":"7fffffffffffffffffffffffffffffff","amount_collateral":"797522153308528359","public_key":"0x3f04572f8558431374c05b9636bc94c67baedb9421fdf2e48cb1cc5e8b33639d","is_buying_synthetic":true,"asset_id_collateral":"0x138D16CADA7790BFC4555F708736175454608E6C0EBE3BE7FDF6FB35BC154133","amount_fee":"524326086986956","amount_synthetic":"4294967297"})json",
                 "nonce=1873114005;public_key="
                 "0x3f04572f8558431374c05b9636bc94c67baedb9421fdf2e48cb1cc5e8b33639d;expiration_timestamp="
                 "14179280;amount_synthetic=4294967297;amount_collateral=797522153308528359;amount_fee="
                 "524326086986956;asset_id_synthetic=170141183460469231731687303715884105727;asset_id_"
                 "collateral=0x138d16cada7790bfc4555f708736175454608e6c0ebe3be7fdf6fb35bc154133;position_id="
                 "16735512669492305;is_buying_synthetic=true"},
                {"LimitOrderRequest",
                 R"json({"amount_synthetic":"1","asset_id_synthetic":"cf576aa52efd8b7","expiration_timestamp":"1","public_key":"0x71b621774457705342d88ff5efcfe6df68b43e0c857f5ecdb6f51ffe06c67ec","asset_id_collateral":"0x0000000000000000000000000000000009f57421f052a190591741642017caca","nonce":"17045113133","amount_collateral":"841548641834","is_buying_synthetic":false,"position_id":"0","amount_fee":"96"})json",
                 "nonce=17045113133;public_key="
                 "0x071b621774457705342d88ff5efcfe6df68b43e0c857f5ecdb6f51ffe06c67ec;expiration_timestamp=1;"
                 "amount_synthetic=1;amount_collateral=841548641834;amount_fee=96;asset_id_synthetic="
                 "933782971657214135;asset_id_collateral="
                 "0x0000000000000000000000000000000009f57421f052a190591741642017caca;position_id=0;is_buying_"
                 "synthetic=false"},
                {"LimitOrderRequest",
                 R"json( 
	{"nonce":"4","expiration_timestamp":"1","public_key":"0x00000000000000000000000000000000000000000000000000000000000000fe","asset_id_synthetic":"1","amount_synthetic":"39465575721633","amount_collateral":"2147483648","asset_id_collateral":"0x747f3b6698fcdee550a20b89300f29ce2d6d4ab222e256afae553f50e2c8b71f","is_buying_synthetic":true,"position_id":"112672068769","amount_fee":"72260954775848827"} 
)json",
                 "nonce=4;public_key=0x00000000000000000000000000000000000000000000000000000000000000fe;"
                 "expiration_timestamp=1;amount_synthetic=39465575721633;amount_collateral=2147483648;amount_"
                 "fee=72260954775848827;asset_id_synthetic=1;asset_id_collateral="
                 "0x747f3b6698fcdee550a20b89300f29ce2d6d4ab222e256afae553f50e2c8b71f;position_id="
                 "112672068769;is_buying_synthetic=true"},
                {"LimitOrderRequest",
                 R"json({"amount_synthetic": "45655", "amount_fee": "2297949466", "amount_collateral": "896", "position_id": "57579592407", "is_buying_synthetic": false, "asset_id_synthetic": "0x1", "public_key": "0x6f014bc20ab4330856b8bd9975a575e", "asset_id_collateral": "0x150698c7e8d0e77abeb284bceaee62ef4552ede50a2bd76c4827350cc1f777f2", "expiration_timestamp": "329588", "nonce": "34183858"})json",
                 "nonce=34183858;public_key="
                 "0x0000000000000000000000000000000006f014bc20ab4330856b8bd9975a575e;expiration_timestamp="
                 "329588;amount_synthetic=45655;amount_collateral=896;amount_fee=2297949466;asset_id_"
                 "synthetic=1;asset_id_collateral="
                 "0x150698c7e8d0e77abeb284bceaee62ef4552ede50a2bd76c4827350cc1f777f2;position_id=57579592407;"
                 "is_buying_synthetic=false"},
                {"LimitOrderRequest",
                 R"json({"position_id":"42","is_buying_synthetic":false,"amount_synthetic":"8533771453478283","nonce":"18446744073709551615","asset_id_collateral":"0x7dc75148e2a4ea75576f0bfc21d6f783dff69caa98ccf91ec6824b9cbc403684","amount_collateral":"2147483648","public_key":"0x3792FCD1D57B61CE434298DC79CFE5B24FC9EACEE90267685C41CB7D40DF2160","amount_fee":"5","expiration_timestamp":"003821","asset_id_synthetic":"a188390f094441a63758dd55a9b"})json",
                 "nonce=18446744073709551615;public_key="
                 "0x3792fcd1d57b61ce434298dc79cfe5b24fc9eacee90267685c41cb7d40df2160;expiration_timestamp="
                 "3821;amount_synthetic=8533771453478283;amount_collateral=2147483648;amount_fee=5;asset_id_"
                 "synthetic=204766289694566650408046052072091;asset_id_collateral="
                 "0x7dc75148e2a4ea75576f0bfc21d6f783dff69caa98ccf91ec6824b9cbc403684;position_id=42;is_"
                 "buying_synthetic=false"},
                {"LimitOrderRequest",
                 R"json({
  "is_buying_synthetic":false,
  "nonce":"225224900",
  "amount_collateral":"0",
  "asset_id_synthetic":"0x0x10000000000000000",
  "asset_id_collateral":"0132cdb3016070c2c58c55bc3faa4bab53593dea5ac3685fff504008826cac85",
  "position_id":"4294967297",
  "public_key":"0x0000000000000000000000000000000000000000000000000000000000000070",
  "amount_synthetic":"451169489390",
  "amount_fee":"991764813505",
  "expiration_timestamp":"0"
})json",
                 "nonce=225224900;public_key="
                 "0x0000000000000000000000000000000000000000000000000000000000000070;expiration_timestamp=0;"
                 "amount_synthetic=451169489390;amount_collateral=0;amount_fee=991764813505;asset_id_"
                 "synthetic=18446744073709551616;asset_id_collateral="
                 "0x0132cdb3016070c2c58c55bc3faa4bab53593dea5ac3685fff504008826cac85;position_id=4294967297;"
                 "is_buying_synthetic=false"},
                {"LimitOrderRequest",
                 R"json({"amount_fee":"99286505","position_id":"16753811799108958906","is_buying_synthetic":false,"nonce":"4294967296","asset_id_synthetic":"0x2b","expiration_timestamp":"+50286","amount_collateral":"2463035784901994","amount_synthetic":"5","public_key":"0xBE96B22189E664449197844B69593FBC9FE74E80E6D15C48ABAA118392476456","asset_id_collateral":"0x99"})json",
                 "nonce=4294967296;public_key="
                 "0xbe96b22189e664449197844b69593fbc9fe74e80e6d15c48abaa118392476456;expiration_timestamp="
                 "50286;amount_synthetic=5;amount_collateral=2463035784901994;amount_fee=99286505;asset_id_"
                 "synthetic=43;asset_id_collateral="
                 "0x0000000000000000000000000000000000000000000000000000000000000099;position_id="
                 "16753811799108958906;is_buying_synthetic=false"},
                {"Liquidate",
                 R"json({"liquidator_order": {"position_id": "9223372036854775808", "expiration_timestamp": "6", "amount_synthetic": "445567420", "amount_fee": "78212463015337595", "nonce": "1", "is_buying_synthetic": false, "asset_id_collateral": "0xe5a4e9315d33a034", "public_key": "0x000000000000000000000000000000000000000000000000a2143f6eb43d9487", "amount_collateral": "2541562255283", "asset_id_synthetic": "9742791ed5589fe01efec"}, "actual_synthetic": "2147483648", "actual_liquidator_fee": "2", "actual_collateral": "00134212981", "liquidated_position_id": "0"})json",
                 "liquidator_order={nonce=1;public_key="
                 "0x000000000000000000000000000000000000000000000000a2143f6eb43d9487;expiration_timestamp=6;"
                 "amount_synthetic=445567420;amount_collateral=2541562255283;amount_fee=78212463015337595;"
                 "asset_id_synthetic=11428856826718172230053868;asset_id_collateral="
                 "0x000000000000000000000000000000000000000000000000e5a4e9315d33a034;position_id="
                 "9223372036854775808;is_buying_synthetic=false};liquidated_position_id=0;actual_collateral="
                 "134212981;actual_synthetic=2147483648;actual_liquidator_fee=2"},
                {"Liquidate",
                 R"json({"actual_collateral": "996", "liquidated_position_id": "88740820822055145", "actual_liquidator_fee": "9223372036854775808", "liquidator_order": {"expiration_timestamp": "4294967295", "amount_collateral": "944612687570242", "asset_id_collateral": "0x00000000000000000000000000000000000000000000000000000000000000b7", "public_key": "000000000000000000000000000000004619c48bdeadee09e1b7a858303ee24d", "nonce": "0", "amount_synthetic": "4294967295", "position_id": "202", "is_buying_synthetic": true, "amount_fee": "1593850200", "asset_id_synthetic": "0xf2ff0be47641"}, "actual_synthetic": "4294967296"})json",
                 "liquidator_order={nonce=0;public_key="
                 "0x000000000000000000000000000000004619c48bdeadee09e1b7a858303ee24d;expiration_timestamp="
                 "4294967295;amount_synthetic=4294967295;amount_collateral=944612687570242;amount_fee="
                 "1593850200;asset_id_synthetic=267177230104129;asset_id_collateral="
                 "0x00000000000000000000000000000000000000000000000000000000000000b7;position_id=202;is_"
                 "buying_synthetic=true};liquidated_position_id=88740820822055145;actual_collateral=996;"
                 "actual_synthetic=4294967296;actual_liquidator_fee=9223372036854775808"},
                {"Liquidate",
                 R"json([{"amount_fee": "004294967297", "amount_collateral": "16211330305582", "expiration_timestamp": "12", "amount_synthetic": "6323856516", "asset_id_collateral": "0x546adeee5638df7f22257abfdcde9ee6a8ea301f1a08fc61900072e591ec2f4f", "nonce": "5662527627217", "asset_id_synthetic": "0x1", "public_key": "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff", "is_buying_synthetic": false, "position_id": "17944587413"}, "44", "10067039279354850", "101767", "4679686412292688322"])json",
                 "liquidator_order={nonce=5662527627217;public_key="
                 "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff;expiration_timestamp=12;"
                 "amount_synthetic=6323856516;amount_collateral=16211330305582;amount_fee=4294967297;asset_"
                 "id_synthetic=1;asset_id_collateral="
                 "0x546adeee5638df7f22257abfdcde9ee6a8ea301f1a08fc61900072e591ec2f4f;position_id=17944587413;"
                 "is_buying_synthetic=false};liquidated_position_id=44;actual_collateral=10067039279354850;"
                 "actual_synthetic=101767;actual_liquidator_fee=4679686412292688322"},
                {"Liquidate",
                 R"json({"actual_synthetic":"165734","liquidated_position_id":"1216314559837862420","actual_collateral":"2147483648","liquidator_order":{"amount_synthetic":"0057","amount_collateral":"1515999038180044","nonce":"337418985468819465","amount_fee":"190","position_id":"9223372036854775808","asset_id_synthetic":"1f","asset_id_collateral":"7326bb6bd5decd295398b79cbe636c284cabad791e742bee67285b1da0505662","public_key":"0x000000000000000000000000000000000000000000000000000000008ca03d63","expiration_timestamp":"381","is_buying_synthetic":false,"extra_8":1.5},"actual_liquidator_fee":"109","extra_6":{"b":[3]}})json",
                 "liquidator_order={nonce=337418985468819465;public_key="
                 "0x000000000000000000000000000000000000000000000000000000008ca03d63;expiration_timestamp="
                 "381;amount_synthetic=57;amount_collateral=1515999038180044;amount_fee=190;asset_id_"
                 "synthetic=31;asset_id_collateral="
                 "0x7326bb6bd5decd295398b79cbe636c284cabad791e742bee67285b1da0505662;position_id="
                 "9223372036854775808;is_buying_synthetic=false};liquidated_position_id=1216314559837862420;"
                 "actual_collateral=2147483648;actual_synthetic=165734;actual_liquidator_fee=109"},
                {"Liquidate",
                 R"json({"extra_6":1.5,"liquidated_position_id":"0","actual_collateral":"34082381","actual_synthetic":"+2147483648","liquidator_order":{"amount_synthetic":"3202422798","asset_id_synthetic":"0x7fffffffffffffffffffffffffffffff","amount_fee":"000","position_id":"0","nonce":"364195","asset_id_collateral":"05e98806dd1ca4215038c02cdb11e3d106da78b2bcb40c12ebffb66571f49b0e","expiration_timestamp":"1","is_buying_synthetic":true,"amount_collateral":"3781628830","public_key":"0x100f43a8"},"actual_liquidator_fee":"1288833840559089496"})json",
                 "liquidator_order={nonce=364195;public_key="
                 "0x00000000000000000000000000000000000000000000000000000000100f43a8;expiration_timestamp=1;"
                 "amount_synthetic=3202422798;amount_collateral=3781628830;amount_fee=0;asset_id_synthetic="
                 "170141183460469231731687303715884105727;asset_id_collateral="
                 "0x05e98806dd1ca4215038c02cdb11e3d106da78b2bcb40c12ebffb66571f49b0e;position_id=0;is_buying_"
                 "synthetic=true};liquidated_position_id=0;actual_collateral=34082381;actual_synthetic="
                 "2147483648;actual_liquidator_fee=1288833840559089496"},
                {"Liquidate",
                 R"json({
  "actual_collateral": "266110121978069265", 
  "liquidator_order": {
    "position_id": "2147483648", 
    "asset_id_synthetic": "16eaa00a0b0552937ac1faeae0dd6a3", 
    "amount_synthetic": "4294967296", 
    "is_buying_synthetic": false, 
    "amount_collateral": "4294967295", 
    "amount_fee": "2", 
    "nonce": "3019188080955365", 
    "asset_id_collateral": "8", 
    "expiration_timestamp": "2147483648", 
    "public_key": "0x0000000000000000000000009152E922483E7AE2E375E9E432D7F26F68BD9EFC"
  }, 
  "liquidated_position_id": "18446744073709551615", 
  "actual_liquidator_fee": "1286654181815448", 
  "actual_synthetic": "2"
})json",
                 "liquidator_order={nonce=3019188080955365;public_key="
                 "0x0000000000000000000000009152e922483e7ae2e375e9e432d7f26f68bd9efc;expiration_timestamp="
                 "2147483648;amount_synthetic=4294967296;amount_collateral=4294967295;amount_fee=2;asset_id_"
                 "synthetic=1903828709587142373160785565046396579;asset_id_collateral="
                 "0x0000000000000000000000000000000000000000000000000000000000000008;position_id=2147483648;"
                 "is_buying_synthetic=false};liquidated_position_id=18446744073709551615;actual_collateral="
                 "266110121978069265;actual_synthetic=2;actual_liquidator_fee=1286654181815448"},
                {"Liquidate",
                 R"json([{"nonce": "1078", "expiration_timestamp": "0", "amount_synthetic": "87677", "amount_collateral": "+9223372036854775808", "asset_id_collateral": "9895D24E4C6CC7A3BC29337780DCD62B", "position_id": "432917199136", "asset_id_synthetic": "0x0x1f", "public_key": "0x9f4b6620cbde9542500f466407f441b1", "is_buying_synthetic": true, "amount_fee": "78"}, "0", "756435759457", "4294967297", "+98695"])json",
                 "liquidator_order={nonce=1078;public_key="
                 "0x000000000000000000000000000000009f4b6620cbde9542500f466407f441b1;expiration_timestamp=0;"
                 "amount_synthetic=87677;amount_collateral=9223372036854775808;amount_fee=78;asset_id_"
                 "synthetic=31;asset_id_collateral="
                 "0x000000000000000000000000000000009895d24e4c6cc7a3bc29337780dcd62b;position_id="
                 "432917199136;is_buying_synthetic=true};liquidated_position_id=0;actual_collateral="
                 "756435759457;actual_synthetic=4294967297;actual_liquidator_fee=98695"},
                {"Liquidate",
                 R"json({"liquidator_order": {"amount_fee": "1363903974944486", "public_key": "0x000000000000000000000000000000002fb384fd87c3ac5653394524734cc98f", "is_buying_synthetic": true, "nonce": "5", "asset_id_synthetic": "+56e", "asset_id_collateral": "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff", "position_id": "138", "amount_synthetic": "37747881701", "amount_collateral": "3340447415685229366", "expiration_timestamp": "0"}, "actual_liquidator_fee": "157257340593", "actual_synthetic": "766", "actual_collateral": "577087952", "liquidated_position_id": "2147483648"})json",
                 "liquidator_order={nonce=5;public_key="
                 "0x000000000000000000000000000000002fb384fd87c3ac5653394524734cc98f;expiration_timestamp=0;"
                 "amount_synthetic=37747881701;amount_collateral=3340447415685229366;amount_fee="
                 "1363903974944486;asset_id_synthetic=1390;asset_id_collateral="
                 "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff;position_id=138;is_"
                 "buying_synthetic=true};liquidated_position_id=2147483648;actual_collateral=577087952;"
                 "actual_synthetic=766;actual_liquidator_fee=157257340593"},
                {"SignedOraclePrice",
                 R"json({"signed_asset_id":"135C0379B96AC1C26E6141ADAE88A4EBC8ADCDD6EA87143FB5F4BCC8602A2B1F","signer_key":"0x74001AE285D72E285515C69A23B6363566C59702C7D01D4FF82C19FC609EB35F","timestamp":"0","external_price":"18446744073709551616"})json",
                 "signer_key=0x74001ae285d72e285515c69a23b6363566c59702c7d01d4ff82c19fc609eb35f;external_"
                 "price=18446744073709551616;timestamp=0;signed_asset_id="
                 "0x135c0379b96ac1c26e6141adae88a4ebc8adcdd6ea87143fb5f4bcc8602a2b1f"},
                {"SignedOraclePrice",
                 R"json({"timestamp": "1", "signer_key": "0x2d", "signed_asset_id": "0x19c8f00b43c83f14a62c6ec5eeb53e9c19f268e44dfac7bb71b622265d5970af", "external_price": "193615021685627066"})json",
                 "signer_key=0x000000000000000000000000000000000000000000000000000000000000002d;external_"
                 "price=193615021685627066;timestamp=1;signed_asset_id="
                 "0x19c8f00b43c83f14a62c6ec5eeb53e9c19f268e44dfac7bb71b622265d5970af"},
                {"SignedOraclePrice",
                 R"json({"signed_asset_id": "0x49097258A3A47B3376C23CC04FB1F770BA3F2E0C14BFFD31BFA17A855CC1815", "timestamp": "4294967295", "extra_4": true, "external_price": "6850724339917580133146438369", "signer_key": "0x00595bada49defad5292a128c99b691689ee042769a0d3d3f81e3f000b575cce"})json",
                 "signer_key=0x00595bada49defad5292a128c99b691689ee042769a0d3d3f81e3f000b575cce;external_"
                 "price=6850724339917580133146438369;timestamp=4294967295;signed_asset_id="
                 "0x049097258a3a47b3376c23cc04fb1f770ba3f2e0c14bffd31bfa17a855cc1815"},
                {"SignedOraclePrice",
                 R"json({"signed_asset_id": "0xb160f1e5fb616500173fe9dc695fa7c042ad81ec", "external_price": "37", "timestamp": "3", "signer_key": "0x1e4ec76a1b80564dc45eefc80cdd1dfa3c61f57e163404c5efbdae5206cb1902"})json",
                 "signer_key=0x1e4ec76a1b80564dc45eefc80cdd1dfa3c61f57e163404c5efbdae5206cb1902;external_"
                 "price=37;timestamp=3;signed_asset_id="
                 "0x000000000000000000000000b160f1e5fb616500173fe9dc695fa7c042ad81ec"},
                {"SignedOraclePrice",
                 R"json( 
	{"external_price":"170141183460469231731687303715884105728","signed_asset_id":"30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000000","signer_key":"0x4372768282c935bb56d593a61a5a4c10f6da0c5b07fdaa0d43","timestamp":"0"} 
)json",
                 "signer_key=0x000000000000004372768282c935bb56d593a61a5a4c10f6da0c5b07fdaa0d43;external_"
                 "price=170141183460469231731687303715884105728;timestamp=0;signed_asset_id="
                 "0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000000"},
                {"SignedOraclePrice",
                 R"json({"signer_key":"0x30644E72E131A029B85045B68181585D2833E84879B9709143E1F593F0000001","timestamp":"56718125","signed_asset_id":"0x0000000000000000000000003F93C484E91CBD28DA40FA715AD467FB2BAE08BC","external_price":"170141183460469231731687303715884105728"})json",
                 "signer_key=0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000001;external_"
                 "price=170141183460469231731687303715884105728;timestamp=56718125;signed_asset_id="
                 "0x0000000000000000000000003f93c484e91cbd28da40fa715ad467fb2bae08bc"},
                {"SignedOraclePrice",
                 R"json(["0x1074db520c0e4efff2b9d9f9db6087c85846c59e", "203205560201", "22037192", "0x73FC5A99AF43D38762B5D992C5CA52076B31E06A"])json",
                 "signer_key=0x0000000000000000000000001074db520c0e4efff2b9d9f9db6087c85846c59e;external_"
                 "price=203205560201;timestamp=22037192;signed_asset_id="
                 "0x00000000000000000000000073fc5a99af43d38762b5d992c5ca52076b31e06a"},
                {"SignedOraclePrice",
                 R"json({"signed_asset_id":"11c2a159b9a33e33441a341125a819ef012cd6fb671ffc92bbcb4587c42ad401","external_price":"16609077981865382328","timestamp":"838","signer_key":"197071c0","extra_7":true})json",
                 "signer_key=0x00000000000000000000000000000000000000000000000000000000197071c0;external_"
                 "price=16609077981865382328;timestamp=838;signed_asset_id="
                 "0x11c2a159b9a33e33441a341125a819ef012cd6fb671ffc92bbcb4587c42ad401"},
                {"Transfer",
                 R"json({"asset_id": "0x4", "sender_position_id": "1", "receiver_position_id": "2", "amount": "3", "nonce": "5", "expiration_timestamp": "6", "public_key": "0x1", "receiver_public_key": "0x2"})json",
                 "nonce=5;public_key=0x0000000000000000000000000000000000000000000000000000000000000001;"
                 "expiration_timestamp=6;sender_position_id=1;receiver_public_key="
                 "0x0000000000000000000000000000000000000000000000000000000000000002;receiver_position_id=2;"
                 "amount=3;asset_id=0x0000000000000000000000000000000000000000000000000000000000000004"},
                {"WithdrawRequest",
                 R"json({"asset_id": "0x4", "position_id": "2", "nonce": "5", "amount": "3", "expiration_timestamp": "6", "public_key": "0xabc", "eth_address": "0xabc"})json",
                 "nonce=5;public_key=0x0000000000000000000000000000000000000000000000000000000000000abc;"
                 "expiration_timestamp=6;position_id=2;amount=3;eth_address="
                 "0x0000000000000000000000000000000000000000000000000000000000000abc;asset_id="
                 "0x0000000000000000000000000000000000000000000000000000000000000004"},
                {"WithdrawRequest",
                 R"json({"asset_id": "0x4", "position_id": "2", "nonce": "5", "amount": "3", "expiration_timestamp": "6", "public_key": "0xabc", "eth_address": "0xabd"})json",
                 "nonce=5;public_key=0x0000000000000000000000000000000000000000000000000000000000000abc;"
                 "expiration_timestamp=6;position_id=2;amount=3;eth_address="
                 "0x0000000000000000000000000000000000000000000000000000000000000abd;asset_id="
                 "0x0000000000000000000000000000000000000000000000000000000000000004"},
                {"LimitOrderRequest",
                 R"json({"asset_id_synthetic": "0x1", "asset_id_collateral": "0x2", "amount_synthetic": "3", "amount_collateral": "4", "amount_fee": "5", "position_id": "6", "nonce": "7", "expiration_timestamp": "8", "is_buying_synthetic": true, "public_key": "0x1"})json",
                 "nonce=7;public_key=0x0000000000000000000000000000000000000000000000000000000000000001;"
                 "expiration_timestamp=8;amount_synthetic=3;amount_collateral=4;amount_fee=5;asset_id_"
                 "synthetic=1;asset_id_collateral="
                 "0x0000000000000000000000000000000000000000000000000000000000000002;position_id=6;is_buying_"
                 "synthetic=true"},
                {"LimitOrderRequest",
                 R"json({"asset_id_synthetic": "0x1", "asset_id_collateral": "0x2", "amount_synthetic": "3", "amount_collateral": "4", "amount_fee": "5", "position_id": "6", "nonce": "7", "expiration_timestamp": "8", "is_buying_synthetic": false, "public_key": "0x1"})json",
                 "nonce=7;public_key=0x0000000000000000000000000000000000000000000000000000000000000001;"
                 "expiration_timestamp=8;amount_synthetic=3;amount_collateral=4;amount_fee=5;asset_id_"
                 "synthetic=1;asset_id_collateral="
                 "0x0000000000000000000000000000000000000000000000000000000000000002;position_id=6;is_buying_"
                 "synthetic=false"},
                {"SignedOraclePrice",
                 R"json({"signed_asset_id": "0x1", "external_price": "2", "timestamp": "3", "signer_key": "0x5"})json",
                 "signer_key=0x0000000000000000000000000000000000000000000000000000000000000005;external_"
                 "price=2;timestamp=3;signed_asset_id="
                 "0x0000000000000000000000000000000000000000000000000000000000000001"},
                {"Transfer",
                 R"json({"receiver_position_id":"4294967297","nonce":"1475705564367658","asset_id":"76ca797bb997190a2bab73456557d501d52efdd0b5c58dacff","amount":"80104","public_key":"000000000000000000000000000000000000000000000000000000000000001c","expiration_timestamp":"0011","receiver_public_key":"0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff","sender_position_id":"18446744073709551615"})json",
                 "nonce=1475705564367658;public_key="
                 "0x000000000000000000000000000000000000000000000000000000000000001c;expiration_timestamp=11;"
                 "sender_position_id=18446744073709551615;receiver_public_key="
                 "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff;receiver_position_id="
                 "4294967297;amount=80104;asset_id="
                 "0x0000000000000076ca797bb997190a2bab73456557d501d52efdd0b5c58dacff"},
                {"Transfer",
                 R"json( 
	{"receiver_position_id": "0", "nonce": "43248992879715", "amount": "5", "expiration_timestamp": "+0", "asset_id": "0x2dd63cb29854a1014587f7de1164ad178905dba3748324cd928d9573cf0d5fc7", "receiver_public_key": "4b1b7f7050357cb1ee0962ef0801aa060b97b9d649fb22b8eb4d2cea1bd28f46", "public_key": "0x84b90c40d859637fa4fd7aa1a1cab1973adf2091cad82b4f95d229091fe5fa27", "sender_position_id": "4294967296"} 
)json",
                 "nonce=43248992879715;public_key="
                 "0x84b90c40d859637fa4fd7aa1a1cab1973adf2091cad82b4f95d229091fe5fa27;expiration_timestamp=0;"
                 "sender_position_id=4294967296;receiver_public_key="
                 "0x4b1b7f7050357cb1ee0962ef0801aa060b97b9d649fb22b8eb4d2cea1bd28f46;receiver_position_id=0;"
                 "amount=5;asset_id=0x2dd63cb29854a1014587f7de1164ad178905dba3748324cd928d9573cf0d5fc7"},
                {"WithdrawRequest",
                 R"json({"eth_address": "0x7a68b80adeee1b3d72b2bfbd7dabe84", "amount": "226459", "nonce": "2", "asset_id": "17de27105251d434a7832446a22f3708a40b224f2314b73d65a80c6b70771ecb", "position_id": "14337996960974375", "expiration_timestamp": "6", "public_key": "e8264cfd"})json",
                 "nonce=2;public_key=0x00000000000000000000000000000000000000000000000000000000e8264cfd;"
                 "expiration_timestamp=6;position_id=14337996960974375;amount=226459;eth_address="
                 "0x0000000000000000000000000000000007a68b80adeee1b3d72b2bfbd7dabe84;asset_id="
                 "0x17de27105251d434a7832446a22f3708a40b224f2314b73d65a80c6b70771ecb"},
                {"WithdrawRequest",
                 R"json({
  "expiration_timestamp": "1", 
  "amount": "111495712353", 
  "asset_id": "0x00000000000000de693072e6dc30f35fa89f5140fd3cb2aed4cae7b00156efb1", 
  "public_key": "0x00000000000000BC32EBDDD39924C8CADDA2BC7843BF8B0D1AC3C84C4DAF3661", 
  "eth_address": "00000000000000000000000081786b0d72d42e76c7072dc2c0d37c879792df4b", 
  "nonce": "1173697", 
  "position_id": "004294967296"
})json",
                 "nonce=1173697;public_key="
                 "0x00000000000000bc32ebddd39924c8cadda2bc7843bf8b0d1ac3c84c4daf3661;expiration_timestamp=1;"
                 "position_id=4294967296;amount=111495712353;eth_address="
                 "0x00000000000000000000000081786b0d72d42e76c7072dc2c0d37c879792df4b;asset_id="
                 "0x00000000000000de693072e6dc30f35fa89f5140fd3cb2aed4cae7b00156efb1"},
                {"LimitOrderRequest",
                 R"json({"amount_collateral": "0", "nonce": "3547648218", "position_id": "2", "expiration_timestamp": "1", "amount_fee": "6720264689544675", "is_buying_synthetic": true, "asset_id_synthetic": "6", "public_key": "00000000000000000000000032ee7dd9f3fc51d8e872bbffa5106354b652858f", "asset_id_collateral": "0x7960FA6EBC939C0BB61ED2816BF1C0795F1409F43C41BBCBCCC13F01E4BBA50", "amount_synthetic": "286276002146208"})json",
                 "nonce=3547648218;public_key="
                 "0x00000000000000000000000032ee7dd9f3fc51d8e872bbffa5106354b652858f;expiration_timestamp=1;"
                 "amount_synthetic=286276002146208;amount_collateral=0;amount_fee=6720264689544675;asset_id_"
                 "synthetic=6;asset_id_collateral="
                 "0x07960fa6ebc939c0bb61ed2816bf1c0795f1409f43c41bbcbccc13f01e4bba50;position_id=2;is_buying_"
                 "synthetic=true"},
                {"LimitOrderRequest",
                 R"json({"asset_id_collateral":"4059c5d02876a2e1cd55262244e81ba35822d652","expiration_timestamp":"933929425","amount_synthetic":"902923239958","nonce":"7066656871586146","amount_collateral":"4294967296","position_id":"2","amount_fee":"5","is_buying_synthetic":true,"asset_id_synthetic":"1f","public_key":"0x26489ba7"})json",
                 "nonce=7066656871586146;public_key="
                 "0x0000000000000000000000000000000000000000000000000000000026489ba7;expiration_timestamp="
                 "933929425;amount_synthetic=902923239958;amount_collateral=4294967296;amount_fee=5;asset_id_"
                 "synthetic=31;asset_id_collateral="
                 "0x0000000000000000000000004059c5d02876a2e1cd55262244e81ba35822d652;position_id=2;is_buying_"
                 "synthetic=true"},
                {"Liquidate",
                 R"json({"actual_synthetic":"18446744073709551615","extra_0":null,"actual_collateral":"1","liquidator_order":{"amount_collateral":"1353397211","amount_fee":"9223372036854775808","amount_synthetic":"1","asset_id_collateral":"0x03f3e8d68757b792f2cdebb7d48140f99a2c45b33db9dfd10f51dc5c501227b2","expiration_timestamp":"0","is_buying_synthetic":false,"asset_id_synthetic":"+d5","nonce":"0","position_id":"51283","public_key":"0x7f682d85b27c32230180191582a96a92269155bdf08b24b92079c5bf89cc2d5"},"liquidated_position_id":"432","actual_liquidator_fee":"40425"})json",
                 "liquidator_order={nonce=0;public_key="
                 "0x07f682d85b27c32230180191582a96a92269155bdf08b24b92079c5bf89cc2d5;expiration_timestamp=0;"
                 "amount_synthetic=1;amount_collateral=1353397211;amount_fee=9223372036854775808;asset_id_"
                 "synthetic=213;asset_id_collateral="
                 "0x03f3e8d68757b792f2cdebb7d48140f99a2c45b33db9dfd10f51dc5c501227b2;position_id=51283;is_"
                 "buying_synthetic=false};liquidated_position_id=432;actual_collateral=1;actual_synthetic="
                 "18446744073709551615;actual_liquidator_fee=40425"},
                {"Liquidate",
                 R"json({"liquidated_position_id": "143516", "actual_liquidator_fee": "+32529", "liquidator_order": {"expiration_timestamp": "000", "amount_synthetic": "1005682", "public_key": "0x000000000000000000000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "amount_collateral": "1784352825", "amount_fee": "3199", "is_buying_synthetic": false, "position_id": "266636689", "nonce": "15926009658589552", "asset_id_synthetic": "0x0x10000000000000000", "asset_id_collateral": "0x05c2ec12d08f2480751777958567d6dba3de8830fa675692bcc700c9b0ae0a9f"}, "actual_synthetic": "1053205184433598652", "actual_collateral": "4294967296"})json",
                 "liquidator_order={nonce=15926009658589552;public_key="
                 "0x000000000000000000000000ffffffffffffffffffffffffffffffffffffffff;expiration_timestamp=0;"
                 "amount_synthetic=1005682;amount_collateral=1784352825;amount_fee=3199;asset_id_synthetic="
                 "18446744073709551616;asset_id_collateral="
                 "0x05c2ec12d08f2480751777958567d6dba3de8830fa675692bcc700c9b0ae0a9f;position_id=266636689;"
                 "is_buying_synthetic=false};liquidated_position_id=143516;actual_collateral=4294967296;"
                 "actual_synthetic=1053205184433598652;actual_liquidator_fee=32529"},
                {"SignedOraclePrice",
                 R"json({"signer_key": "1FBD4BE9B289DD4CC066BAB3AB4C6AD6D1558829E8FF1F195B4EE9FFDB02B6E3", "external_price": "1293975879675", "timestamp": "3676757", "signed_asset_id": "0x05ae8929295153aacd0f21b3756f1f9478a25eab305a9e7495e", "extra_5": null})json",
                 "signer_key=0x1fbd4be9b289dd4cc066bab3ab4c6ad6d1558829e8ff1f195b4ee9ffdb02b6e3;external_"
                 "price=1293975879675;timestamp=3676757;signed_asset_id="
                 "0x000000000000005ae8929295153aacd0f21b3756f1f9478a25eab305a9e7495e"},
                {"SignedOraclePrice",
                 R"json({"signer_key": "0x0B5E28398E0665AFFEDEF2ACA50B14E8EB017CD07D5AEED13667E7C07E0EA8CC", "timestamp": "35459494", "external_price": "852049014576997163833586", "signed_asset_id": "0x416f0aa1081f9cd9"})json",
                 "signer_key=0x0b5e28398e0665affedef2aca50b14e8eb017cd07d5aeed13667e7c07e0ea8cc;external_"
                 "price=852049014576997163833586;timestamp=35459494;signed_asset_id="
                 "0x000000000000000000000000000000000000000000000000416f0aa1081f9cd9"},
};

}  // namespace tarvo::testing
