var searchData=
[
  ['textures_20and_20materials_0',['Textures and materials',['../group__texture.html',1,'']]],
  ['the_20whole_20interface_1',['The whole interface',['../group__engine.html',1,'']]]
];
